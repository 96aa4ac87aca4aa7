// Flinn-Engdahl seismic regions (1995 revision, 757 regions), read from the program's compact
// region file (data/feregions.dat, written by tools/make_feregions.py).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

inline constexpr const char* kRegionFileName = "feregions.dat";
// The name of "no region": 52 blanks.
const std::string& noRegionName();

class RegionTable {
  public:
    struct Point {
        std::int16_t lat;    // |latitude|, whole degrees
        std::int16_t lon;    // |longitude| where the region begins along that latitude row
        std::int16_t region; // region number
    };

    // Parses the region file; on failure the table stays empty and error says why.
    bool parse(std::string_view text, std::string* error = nullptr);
    bool load(const std::filesystem::path& file, std::string* error = nullptr);

    bool loaded() const { return !names_.empty(); }
    std::size_t regionCount() const { return names_.size(); }
    // 0 when the point lies in no region or the table is not loaded.
    int regionNumber(double lat, double lon) const;
    // Name of a region number; noRegionName() for 0 or an unknown number.
    const std::string& name(int number) const;
    const std::string& regionName(double lat, double lon) const { return name(regionNumber(lat, lon)); }

  private:
    std::vector<std::string> names_; // region 1 at index 0
    std::array<std::vector<Point>, 4> quadrants_;
    // per quadrant, the index of the first point whose latitude is at least a, for a = 0..91
    std::array<std::array<std::uint32_t, 92>, 4> rowStart_{};
};

// The program-wide table used by regionName(); empty until loadRegionTable succeeds.
const RegionTable& regionTable();
bool loadRegionTable(const std::filesystem::path& file, std::string* error = nullptr);
const std::string& regionName(double lat, double lon);

} // namespace tlx
