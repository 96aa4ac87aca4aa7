// One channel of a file read in full, for views of a whole day (the helicorder): its own pass over
// the file, beyond the sample limit that event records keep. MINISEED channels are joined record
// by record in time order (a gap holds the last value before it); files of other formats come
// through the loader and keep its limit.
#pragma once

#include "record/loader.h"

#include <span>
#include <string>
#include <vector>

namespace tlx {

// 50,000,000 samples (about 5.8 days at 100 samples/s, 400 MB) at most.
inline constexpr long long kMaxWholeChannelSamples = 50'000'000;

struct WholeChannel {
    EventRecord record; // start time, rate and names as the loader gives them
    std::vector<double> samples;
    bool limited = false; // samples were left out (beyond kMaxWholeChannelSamples or the loader's limit)
};

// The channel whose station and component match (the first channel when none does). False with
// `error` set when the file gives no samples.
bool readWholeChannel(EventLoader& loader, const std::string& path, const std::string& station,
                      const std::string& component, WholeChannel& out, std::string& error);
// The same on bytes already in memory (fuzzing); `path` names them.
bool readWholeChannelBytes(EventLoader& loader, std::span<const std::uint8_t> bytes, const std::string& path,
                           const std::string& station, const std::string& component, WholeChannel& out,
                           std::string& error);

} // namespace tlx
