// The browser's summary cache file: whatever loads must write out and load back to the same rows.
#include "browser/summary_cache.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::browser::SummaryCache cache;
    cache.parse(std::string_view(reinterpret_cast<const char*>(data), size));
    tlx::browser::SummaryCache again;
    again.parse(cache.text());
    if (again.size() != cache.size() || again.text() != cache.text()) std::abort();
    return 0;
}
