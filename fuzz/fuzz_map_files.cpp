// The location map's file readers with any bytes: the first byte picks the line reader
// (coasts.bin, rivers.bin, plates.bin) or the city list reader (city.dat).
#include "views/map_files.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    if (data[0] & 1) {
        for (const tlx::views::MapCity& c :
             tlx::views::parseCities({reinterpret_cast<const char*>(rest.data()), rest.size()}))
            if (c.name.size() > 40) std::abort();
        return 0;
    }
    const tlx::views::MapLines lines = tlx::views::parseMapLines(rest);
    std::uint32_t last = 0;
    for (std::uint32_t end : lines.ends) {
        if (end <= last) std::abort();
        last = end;
    }
    if (last != lines.points.size() || lines.points.size() > rest.size() / 4) std::abort();
    for (const tlx::views::UnitPoint& p : lines.points)
        if (std::abs(p.x * p.x + p.y * p.y + p.z * p.z - 1) > 1e-4) std::abort();
    return 0;
}
