#include "record/seed_reader.h"

#include "core/debug_log.h"
#include "core/text.h"
#include "record/seed.h"
#include "record/sensor_dat.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace tlx {
namespace {

constexpr std::size_t kMaxSlots = 3;

// The document's reader object when it has one, else a reader for this load only.
class SeedFor {
  public:
    explicit SeedFor(LoadContext& context) : seed_(context.seed) {
        if (!seed_) {
            own_ = std::make_unique<CSeed>();
            seed_ = own_.get();
        }
        // SENSOR.DAT and the dataless volumes fill what the file does not say, from the loader's
        // settings as they are now (the document's reader object outlives setting changes).
        const LoaderSettings& settings = context.settings();
        seed_->sensorDefaults = [settings](const std::string& stationId, EventRecord& record) {
            applySensorDefaults(settings, stationId, record);
        };
        seed_->datalessDirectory = settings.datalessDirectory;
        seed_->datalessExtension = settings.datalessExtension;
    }
    CSeed& operator*() const { return *seed_; }
    CSeed* operator->() const { return seed_; }

  private:
    CSeed* seed_;
    std::unique_ptr<CSeed> own_;
};

int countOf(const CSeed& seed, std::size_t trace) {
    const std::size_t n = seed.traces()[trace].count;
    return static_cast<int>(std::min<std::size_t>(n, INT32_MAX));
}

void fillMiniSeedSlots(const CSeed& seed, LoadContext& context, LoadResult& result, bool withSamples) {
    const std::size_t traces = seed.traces().size();
    result.kind = traces == 1 ? kKindMiniSeed : kKindMiniSeedSet;
    for (std::size_t k = 0; k < std::min(traces, kMaxSlots); ++k) {
        LoadedChannel channel;
        seed.fillFromTrace(k, channel.record, withSamples ? &channel.samples : nullptr);
        channel.record.fileName = context.path().substr(0, kMaxFileName);
        result.channels.push_back(std::move(channel));
    }
    result.commonCount = countOf(seed, 0);
}

HeaderStatus readMiniSeed(LoadContext& context, LoadResult& result, bool withSamples, std::string& failure) {
    SeedFor seed(context);
    seed->setSourcePath(context.path());
    if (!seed->readMiniSeed(context.bytes(), withSamples)) {
        // A log of text records is shown instead of samples.
        if (seed->logText().empty()) return HeaderStatus::NotThisFormat;
        constexpr std::size_t kShownText = 4096; // a message box, not a viewer
        const std::string& text = seed->logText();
        failure = format("%s holds text, not samples:\n%s%s", context.path().c_str(),
                         text.substr(0, kShownText).c_str(), text.size() > kShownText ? "\n..." : "");
        return HeaderStatus::Failed;
    }
    fillMiniSeedSlots(*seed, context, result, withSamples);
    return HeaderStatus::Ok;
}

bool fillVolumeSlot(const CSeed& seed, LoadContext& context, LoadResult& result, bool withSamples) {
    const std::size_t index = static_cast<std::size_t>(std::max(context.channelIndex, 0));
    if (index >= seed.traces().size()) return false;
    LoadedChannel channel;
    seed.fillFromVolumeChannel(index, channel.record, withSamples ? &channel.samples : nullptr,
                               withSamples ? &context.messages() : nullptr);
    channel.record.fileName = context.path().substr(0, kMaxFileName);
    result.kind = kKindSeed;
    result.commonCount = channel.record.header.sampleCount;
    result.channels.push_back(std::move(channel));
    return true;
}

bool readVolume(CSeed& seed, LoadContext& context) {
    seed.setSourcePath(context.path());
    if (seed.readSeedVolume(context.bytes())) return true;
    if (seed.formatUnsupported()) context.report("SEED Data Format Not Supported", false);
    return false;
}

} // namespace

HeaderStatus MiniSeedReader::readHeader(LoadContext& context, LoadResult& result,
                                        std::string& failure) const {
    return readMiniSeed(context, result, true, failure);
}

bool MiniSeedReader::readHeaderOnly(LoadContext& context, LoadResult& result) const {
    std::string failure;
    return readMiniSeed(context, result, false, failure) == HeaderStatus::Ok;
}

// The samples were decoded with the header: a MINISEED file has to be read whole to be recognised.
bool MiniSeedReader::readSamples(LoadContext&, LoadResult&, int) const {
    return true;
}

HeaderStatus SeedVolumeReader::readHeader(LoadContext& context, LoadResult& result,
                                          std::string& failure) const {
    if (!isSeedVolume(context.bytes())) return HeaderStatus::NotThisFormat;
    result.kind = kKindSeed;
    SeedFor seed(context);
    if (!readVolume(*seed, context) || !fillVolumeSlot(*seed, context, result, true)) {
        failure = "Error loading SEED Volume";
        return HeaderStatus::Failed;
    }
    return HeaderStatus::Ok;
}

bool SeedVolumeReader::readHeaderOnly(LoadContext& context, LoadResult& result) const {
    BTime start;
    if (!isSeedVolume(context.bytes(), &start)) return false;
    CSeed seed;
    seed.setSourcePath(context.path());
    if (seed.readSeedVolume(context.bytes()) && fillVolumeSlot(seed, context, result, false)) return true;
    // A dataless volume or one whose data cannot be read: the volume's start time only.
    LoadedChannel channel;
    std::memcpy(channel.record.header.magic, "SVXTYPE4", 8);
    channel.record.header.startTime = fromCivil(civilFromEpoch(btimeMicros(start) / 1'000'000));
    channel.record.fileName = context.path().substr(0, kMaxFileName);
    result.kind = kKindSeed;
    result.channels.push_back(std::move(channel));
    return true;
}

bool SeedVolumeReader::readSamples(LoadContext&, LoadResult&, int) const {
    return true;
}

HeaderStatus SeedChannelReader::readHeader(LoadContext& context, LoadResult& result,
                                           std::string& failure) const {
    failure = "Error loading SEED Volume";
    SeedFor seed(context);
    // Parsed beforehand: this file, with its samples (a header-only read leaves them out).
    const bool parsed =
        !seed->traces().empty() && seed->sourcePath() == context.path() && seed->traces().front().decoded();
    if (!parsed) {
        seed->setSourcePath(context.path());
        const bool ok =
            isSeedVolume(context.bytes()) ? readVolume(*seed, context) : seed->readMiniSeed(context.bytes());
        if (!ok) return HeaderStatus::Failed;
    }
    if (seed->isVolume() || context.forcedKind == kForceSeedVolume)
        return seed->isVolume() && fillVolumeSlot(*seed, context, result, true) ? HeaderStatus::Ok
                                                                                : HeaderStatus::Failed;
    const std::size_t index = static_cast<std::size_t>(std::max(context.channelIndex, 0));
    if (index >= seed->traces().size()) return HeaderStatus::Failed;
    LoadedChannel channel;
    seed->fillFromTrace(index, channel.record, &channel.samples);
    channel.record.fileName = context.path().substr(0, kMaxFileName);
    result.kind = seed->traces().size() == 1 ? kKindMiniSeed : kKindMiniSeedSet;
    result.commonCount = countOf(*seed, index);
    result.channels.push_back(std::move(channel));
    return HeaderStatus::Ok;
}

bool SeedChannelReader::readSamples(LoadContext&, LoadResult&, int) const {
    return true;
}

} // namespace tlx
