// The filter file: any text gives a home place and at most the allowed number of filters.
#include "feedgrab/feed_report.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tlx::feedgrab;
    SilentConsole console;
    HomeFilter home;
    parseFilterText(std::string_view(reinterpret_cast<const char*>(data), size), home, console);
    if (home.filters.size() > kMaxFilters || home.name.size() > kMaxFilterLineChars) std::abort();
    for (const MagnitudeFilter& f : home.filters)
        distanceKm(f.minMagnitude, f.maxDistanceKm, home.latitude, home.longitude);
    return 0;
}
