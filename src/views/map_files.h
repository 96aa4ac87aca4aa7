// The location map's data files: coasts.bin, rivers.bin and plates.bin (little-endian int16
// pairs of latitude and longitude in minutes of arc, a pair beginning with 10000 ending a line)
// and city.dat (quoted names with longitude, latitude, display flag and size class).
#pragma once

#include "views/map_projection.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tlx::views {

// Lines of points; line i runs from ends[i - 1] (0 for the first) to ends[i].
struct MapLines {
    std::vector<std::int16_t> latMin, lonMin; // as stored, minutes of arc
    std::vector<UnitPoint> points;
    std::vector<std::uint32_t> ends;
    std::size_t lineCount() const { return ends.size(); }
};

struct MapCity {
    std::string name; // at most 40 bytes, cut at a character boundary
    double lat = 0, lon = 0;
    int flag = 0;
    int sizeClass = 0;
    UnitPoint point;
};

// Lines of one or more points; pairs outside the globe break the line like an end mark.
MapLines parseMapLines(std::span<const std::uint8_t> bytes);
// Lines that begin with a double quote and carry four commas after the name; others are skipped.
std::vector<MapCity> parseCities(std::string_view text);

// The map files a map needs, by its options. `failed` when a wanted file is missing.
struct MapData {
    MapLines coasts, rivers, plates;
    std::vector<MapCity> cities;
    bool failed = false;
};
struct MapLayers {
    bool rivers = true, plates = true, cities = true;
};
// Loads from `directory`; the file names are appended unchanged (case as given, found in any case).
// When a wanted file is missing the map is `failed` and holds no data at all.
MapData loadMapData(const std::filesystem::path& directory, const MapLayers& layers);
// The folder holding the map files: the program folder when coasts.bin is there, else the shipped
// data folder.
std::filesystem::path mapDataDirectory();

} // namespace tlx::views
