// station.gs2: station coordinates for GSE2.0 waveforms, which carry none of their own.
#pragma once

#include "record/format_reader.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

struct StationCoordinates {
    std::string code;
    double latitude = 0;
    double longitude = 0;
    double elevation = 0;
};

class StationTable {
  public:
    // Lines starting with '/' are comments; others hold code, latitude, longitude, elevation
    // (and two unused words) separated by blanks. Lines are read up to 78 characters.
    void parse(std::string_view text);
    // From the local data directory (the program directory when that is not set), then the
    // program directory. False when neither holds the file.
    bool load(const LoaderSettings& settings);
    // Exact comparison; the last matching line wins.
    std::optional<StationCoordinates> find(std::string_view code) const;
    std::size_t size() const { return stations_.size(); }

  private:
    std::vector<StationCoordinates> stations_;
};

} // namespace tlx
