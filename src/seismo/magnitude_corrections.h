// Per-station magnitude corrections: MAGCORR.DAT (station/channel and file-name look-ups) and the
// sensitivity sections of response.dat.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

class MagnitudeCorrections {
  public:
    bool load(const std::filesystem::path& path);
    void parse(std::string_view text);
    bool empty() const { return entries_.empty(); }

    // Both words equal the record's station and channel; 0 when none matches.
    double byStationChannel(std::string_view station, std::string_view channel) const;
    // The station code taken from the file name's extension and the component letter.
    double byFileName(std::string_view fileName, char orientation) const;

  private:
    struct Entry {
        std::string station, component;
        double value = 0;
    };
    std::vector<Entry> entries_;
};

// The correction C = 0.2 / (s x 2 / 1,000,000 x pi) from the "sens=" line of the current response
// section of a station/channel; 0 when there is none.
double responseCorrection(std::string_view responseText, std::string_view station, std::string_view channel);

} // namespace tlx
