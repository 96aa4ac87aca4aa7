// The Flinn-Engdahl region file parser and the look-up over whatever it accepts.
#include "seismo/regions.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::RegionTable table;
    if (!table.parse(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    for (double lat : {-90.0, -45.5, -0.2, 0.0, 0.7, 45.0, 90.0})
        for (double lon : {-180.0, -90.3, 0.0, 10.0, 179.9, 180.0, 359.0})
            table.regionName(lat, lon);
    return 0;
}
