// GSE2.0 waveform messages (file kind 5): WID2 identification lines, DAT2 data in CM6 or INT
// encoding, CHK2 checksums; several waveforms a file.
#pragma once

#include "record/format_reader.h"
#include "record/station_gs2.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

struct Gse2Waveform {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    std::string station, channel, auxId, dataFormat;
    int sampleCount = 0; // as declared
    double sampleRate = 0;
    std::string calibration, calibrationPeriod, instrumentType;
    double horizontalAngle = kUnknownValue, verticalAngle = kUnknownValue;

    std::vector<std::int32_t> samples; // as decoded, at most sampleCount
    bool checksumSeen = false;
    std::int64_t storedChecksum = 0;
    bool checksumError = false;
    bool countError = false;
    bool stationFound = false;
    double latitude = 0, longitude = 0, elevation = 0;

    // The 48-character calibration text shown in comments and file listings.
    std::string calibrationText() const;
};

class CGse20 {
  public:
    // Among the first 80 lines, one beginning "BEGIN GSE2.0" (any blanks between) or "CONTINUATION".
    static bool hasBeginLine(std::string_view text);

    // Parses the waveforms of a message; with stopAfter > 0, stops once that many are complete.
    void parse(std::string_view text, const StationTable& stations, std::size_t stopAfter = 0);
    const std::vector<Gse2Waveform>& waveforms() const { return waveforms_; }

    // One "GSE2.0 Data Set\t<time>\t<station> <calibration>" line per waveform (file browser).
    std::vector<std::string> listing() const;

  private:
    std::vector<Gse2Waveform> waveforms_;
};

// Fills a cleared record from a waveform; false when its date or rate cannot describe a record.
// The sensor location is the station's region name when a geography is given.
bool gse2WaveformToRecord(const Gse2Waveform& waveform, EventRecord& record,
                          const Geography* geography = nullptr);

class Gse2Reader : public FormatReader {
  public:
    int kind() const override { return kKindGse2; }
    HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const override;
    bool readSamples(LoadContext& context, LoadResult& result, int count) const override;
    // Every waveform, in order up to the first that cannot describe a record.
    bool readHeaderOnly(LoadContext& context, LoadResult& result) const override;
};

} // namespace tlx
