// The contract between the loader and the reader of one event file format.
#pragma once

#include "core/messages.h"
#include "record/event_record.h"
#include "record/file_kind.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tlx {

class CSeed;

struct LoadedChannel {
    EventRecord record;
    std::vector<double> samples;
};

class Geography;

// Folders where readers look for their companion files (SENSOR.DAT, station.gs2, dataless volumes),
// and the geography they may ask.
struct LoaderSettings {
    std::filesystem::path eventDirectory; // setting "Directory"
    std::filesystem::path localDirectory; // setting "LocalDirectory"
    std::filesystem::path programDirectory;
    std::filesystem::path datalessDirectory;    // setting "DatalessDir"
    std::string datalessExtension = "Dataless"; // setting "DatalessExt"
    const Geography* geography = nullptr;       // none: region names and distances stay unknown
};

struct LoadResult {
    bool ok = false;
    int kind = kKindUnknown;
    SubKind subKind = SubKind::Binary;
    int commonCount = 0; // samples per channel after the limits
    std::string path;    // the full path used
    std::vector<LoadedChannel> channels;
    bool gseChecksumError = false;
    bool gseCountError = false;
};

// What a reader sees: the file's bytes and where to report. Readers never show anything
// themselves; they call report(), which applies the unattended modes' suppression rules.
class LoadContext {
  public:
    LoadContext(std::span<const std::uint8_t> bytes, std::string path, LoadMode mode, Messages& messages,
                const LoaderSettings& settings)
        : bytes_(bytes), path_(std::move(path)), mode_(mode), messages_(messages), settings_(settings) {}

    std::span<const std::uint8_t> bytes() const { return bytes_; }
    const std::string& path() const { return path_; }
    LoadMode mode() const { return mode_; }
    const LoaderSettings& settings() const { return settings_; }
    Messages& messages() { return messages_; }

    // Shows an error text; messages marked suppressible are not shown in the picture server mode.
    void report(const std::string& text, bool suppressibleInPictureServer = true);

    int forcedKind = kForceNone;
    int channelIndex = 0;
    CSeed* seed = nullptr;

  private:
    std::span<const std::uint8_t> bytes_;
    std::string path_;
    LoadMode mode_;
    Messages& messages_;
    const LoaderSettings& settings_;
};

enum class HeaderStatus {
    NotThisFormat, // recognition failed: the loader tries the next format
    Ok,            // header complete; commonCount holds the count the file claims
    Failed,        // the file is of this format but its header cannot be completed
};

class FormatReader {
  public:
    virtual ~FormatReader() = default;
    virtual int kind() const = 0;

    // Recognition and header: fills result.channels' records, result.commonCount (the count the file
    // claims, before the loader's limits), kind and sub-kind. On Failed, `failure` holds the text to
    // show (empty for none); the loader reports it.
    virtual HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const = 0;

    // Samples: fills `count` samples for every channel (count already limited by the loader).
    // Returns false with a message already reported when the samples cannot be read.
    virtual bool readSamples(LoadContext& context, LoadResult& result, int count) const = 0;

    // Header-only reading for the file browser and the event database: the same as readHeader,
    // except that readers may take less of their extended information.
    virtual bool readHeaderOnly(LoadContext& context, LoadResult& result) const {
        std::string failure;
        return readHeader(context, result, failure) == HeaderStatus::Ok;
    }
};

} // namespace tlx
