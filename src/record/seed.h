// CSeed: the document's reader of the SEED family. It reads MINISEED files (data records only,
// one or several channels) and SEED volumes (control headers plus data records) into channel
// traces, reads dataless volumes to complete MINISEED channels, and fills event records.
#pragma once

#include "record/event_record.h"
#include "record/mseed_record.h"
#include "record/seed_control.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tlx {

class Messages;

constexpr std::size_t kTraceGrowth = 262'144; // samples (1 MB of 32-bit integers)
constexpr std::size_t kMaxLogText = 65'536;

struct SeedTrace {
    std::string station, channel, network, location;
    BTime start;
    std::int64_t startMicros = 0;
    double rate = 0;
    std::size_t count = 0; // samples; samples.size() (or reals.size()) once decoded
    std::vector<std::int32_t> samples;
    // A channel with records of real numbers (float encodings) holds all its samples here
    // instead; realWidth is 8 when any of them came as 64-bit floats, else 4.
    bool real = false;
    int realWidth = 4;
    std::vector<double> reals;
    bool decoded() const { return (real ? reals.size() : samples.size()) == count; }
    // SEED volumes: start times (microseconds) of the channel's runs more than 200 s apart.
    std::vector<std::int64_t> runStarts;
    int stationIndex = -1; // SEED volumes: the describing blockettes 50 and 52 in control()
    int channelIndex = -1;
};

class CSeed {
  public:
    // MINISEED (versions 2 and 3): the whole file; true when at least one trace results. Records
    // are gathered by channel and placed by their start times. Without `decode` only the record
    // headers are read (header-only reading): the traces have counts but no samples.
    bool readMiniSeed(std::span<const std::uint8_t> bytes, bool decode = true);
    // A gap starts a new trace instead of being closed up (the helicorder places each by its time).
    void setSplitAtGaps(bool on) { splitAtGaps_ = on; }
    // SEED volume: control headers and data records. Returns false on failure; when the failure
    // is an unsupported data format, `formatUnsupported` is set (the caller shows
    // "SEED Data Format Not Supported").
    bool readSeedVolume(std::span<const std::uint8_t> bytes);
    bool formatUnsupported() const { return formatUnsupported_; }
    // A dataless (or full) SEED volume's control headers only.
    bool readDataless(std::span<const std::uint8_t> bytes);

    bool isVolume() const { return isVolume_; }
    const std::vector<SeedTrace>& traces() const { return traces_; }
    const SeedControl& control() const { return control_; }
    const std::string& lastError() const { return lastError_; }
    // The text of the file's text-encoded (log) records, at most kMaxLogText bytes.
    const std::string& logText() const { return logText_; }
    const std::string& sourcePath() const { return sourcePath_; }
    void setSourcePath(std::string path) { sourcePath_ = std::move(path); }

    // Fills a cleared record and its demeaned samples from trace `index` (MINISEED rules).
    // `samples` may be null to fill the header only.
    bool fillFromTrace(std::size_t index, EventRecord& record, std::vector<double>* samples) const;
    // The same for a SEED volume channel; `messages` receives "File has too many data points".
    bool fillFromVolumeChannel(std::size_t index, EventRecord& record, std::vector<double>* samples,
                               Messages* messages) const;

    // Completes a record from this object's parsed dataless description; false when the station
    // or channel is not described.
    bool applyDataless(const std::string& station, const std::string& channel, EventRecord& record) const;

    // "Add MINISEED Information": parses the dataless (or full) SEED file at `path` and applies its
    // description to every record whose station (first 6 characters of `sensorId`, trailing
    // blanks removed) and channel it describes. Returns the number of records changed; `message`
    // receives the text to show when the file does not parse or describes none of them.
    static int addMiniSeedInformation(const std::filesystem::path& path,
                                      const std::vector<EventRecord*>& records, std::string& message);

    // The file browser's channel list, one text per trace.
    std::vector<std::string> listChannels() const;

    // Where dataless volumes are looked for (settings "DatalessDir", "DatalessExt", and the
    // MINISEED information directory).
    std::filesystem::path datalessDirectory;
    std::string datalessExtension;
    std::filesystem::path infoDirectory;
    // Applies SENSOR.DAT defaults for a station id ("STA.CHN[.NET][.LOC]"); unset: none.
    std::function<void(const std::string& stationId, EventRecord& record)> sensorDefaults;
    bool debug = false;

  private:
    struct PlacedRecord;
    bool placeChannel(std::span<const std::uint8_t> bytes, std::vector<PlacedRecord>& records, bool decode);
    void clear();
    void fail(const std::string& text);
    void trace(const std::string& text) const;
    bool findDataless(const std::string& station, const std::string& network, const std::string& channel,
                      EventRecord& record) const;

    std::vector<SeedTrace> traces_;
    SeedControl control_;
    bool isVolume_ = false;
    bool formatUnsupported_ = false;
    std::string lastError_;
    std::string logText_;
    std::string sourcePath_;
    bool splitAtGaps_ = false;
};

} // namespace tlx
