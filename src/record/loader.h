// The one entry point through which every event file enters the program: recognises the
// format, runs its reader, applies the sample-count limits and computes the statistics.
#pragma once

#include "record/format_reader.h"

#include <filesystem>
#include <span>
#include <string>

namespace tlx {

struct LoadRequest {
    std::string fileName;
    LoadMode mode = LoadMode::Interactive;
    int forcedKind = kForceNone;
    int channelIndex = 0;
    CSeed* seed = nullptr; // the document's MINISEED/SEED reader object, when it has one
};

class EventLoader {
  public:
    explicit EventLoader(Messages& messages, LoaderSettings settings = {});

    LoadResult load(const LoadRequest& request);
    // The same on bytes already in memory (tests, fuzzing); `path` names them in messages.
    LoadResult loadBytes(std::span<const std::uint8_t> bytes, const std::string& path,
                         const LoadRequest& request);

    // Format recognition only: the file kind, or -1 for "unknown".
    int recognise(std::span<const std::uint8_t> bytes, const std::string& path = {});
    // Header and extended information without samples (file browser, event database).
    LoadResult readHeaderOnly(const std::filesystem::path& path);
    LoadResult readHeaderOnlyBytes(std::span<const std::uint8_t> bytes, const std::string& path);

    // A name with no directory separator or drive colon is taken from the event directory.
    std::string resolvePath(const std::string& fileName) const;

    const LoaderSettings& settings() const { return settings_; }
    // Settings changed after start-up (event folder, data folders, dataless volumes) take effect
    // from the next load on.
    void setSettings(const LoaderSettings& settings) { settings_ = settings; }

  private:
    Messages& messages_;
    LoaderSettings settings_;
};

// Test whether a file is SVX Type 4 (its first 154 bytes, a shorter file counting as zero-filled).
bool isSvx4File(const std::filesystem::path& path);

} // namespace tlx
