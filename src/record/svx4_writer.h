// Writers of SVX Type 4 files and data-set volumes, and the in-place attachment of an event report.
#pragma once

#include "core/messages.h"
#include "record/event_record.h"

#include <filesystem>
#include <functional>
#include <span>
#include <vector>

namespace tlx {

class Geography;

constexpr int kSampleTypeAuto = -1;

// Options of the save dialog that the writers honour.
struct WriterOptions {
    int decimation = 1; // keep the mean of every N consecutive samples
    bool invert = false;
    bool removeDc = false;
    int sampleType = kSampleTypeAuto;     // or 0 int16, 1 int32, 2 float32, 3 float64
    bool askOverwrite = false;            // setting OverWriteMessage
    bool autoDcOffset = true;             // setting AutoDCOffset: DC removal uses the mean
    bool longFileNames = false;           // setting LongFileNames
    bool dataProcessed = false;           // the window's data were filtered or integrated
    double windowSps = 0;                 // the window's first record's rate; 0 takes the record's own
    const Geography* geography = nullptr; // SAC distance words; none leaves them undefined
};

// One record as the window holds it.
struct WriteChannel {
    const EventRecord* record = nullptr;
    std::span<const double> samples;
    double manualDcOffset = 0;
};

// Shared by the writers of every format: the DC value the options remove, the overwrite question
// ("Overwrite file %s"), and the atomic write with its messages.
double dcValue(const WriteChannel& channel, const WriterOptions& options);
// Output sample i of every writer: the mean of its group of n input samples, less the DC value,
// with the sign reversed when inverting.
inline double writtenValue(std::span<const double> samples, std::size_t i, int n, double dc, bool invert) {
    double sum = 0;
    for (int j = 0; j < n; ++j)
        sum += samples[i * static_cast<std::size_t>(n) + static_cast<std::size_t>(j)];
    const double v = sum / n - dc;
    return invert ? -v : v;
}
bool askBeforeOverwrite(const std::filesystem::path& path, const WriterOptions& options, Messages& messages);
bool commitFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, Messages& messages);

// Auto: float32 for processed data, else the first record stored as float32/float64 gives its type,
// else int32 when any record leaves the int16 range, else int16.
int resolveSampleType(std::span<const WriteChannel> window, const WriterOptions& options);

// The bytes of one channel (fixed header, variable header, samples, CRC) as the writer produces them.
std::vector<std::uint8_t> encodeSvx4Channel(const WriteChannel& channel, const WriterOptions& options,
                                            int sampleType);

bool writeSvx4File(const std::filesystem::path& path, const WriteChannel& channel,
                   const WriterOptions& options, Messages& messages);
// Several records of one window, each to its own file, with one sample type decided across all of
// them (Auto looks at every record of the save, not at each alone). paths and channels pair up.
bool writeSvx4Files(std::span<const std::filesystem::path> paths, std::span<const WriteChannel> channels,
                    const WriterOptions& options, Messages& messages);
bool writeSvxVolume(const std::filesystem::path& path, std::span<const WriteChannel> channels,
                    const WriterOptions& options, Messages& messages);

// A short archive name: the name part begins with six digits and a letter, the extension is not ".svx".
bool isShortArchiveName(const std::filesystem::path& path);

// Adds a report to the records of a stored SVX Type 4 file or volume and rewrites it with
// its samples unchanged. newName (optional) gives the long file name the result should take.
using AddReport = std::function<void(EventRecord&)>;
using NewFileName = std::function<std::filesystem::path(const EventRecord&)>;
bool attachEventToFile(const std::filesystem::path& path, const AddReport& addReport,
                       const NewFileName& newName, Messages& messages);

} // namespace tlx
