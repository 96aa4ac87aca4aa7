// station.gs2 text: parsing and look-up.
#include "record/station_gs2.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tlx::StationTable table;
    table.parse(text);
    table.find(text.substr(0, 5));
    return 0;
}
