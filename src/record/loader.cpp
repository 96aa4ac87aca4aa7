#include "record/loader.h"

#include "core/debug_log.h"
#include "core/mapped_file.h"
#include "core/text.h"
#include "record/ah.h"
#include "record/gse2_reader.h"
#include "record/pepp.h"
#include "record/sac_reader.h"
#include "record/seed_reader.h"
#include "record/svx3.h"
#include "record/svx4_format.h"
#include "record/svx4_reader.h"
#include "record/svx_ascii_reader.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace tlx {
namespace {

enum class Order { Load, HeaderOnly };

// The order in which formats are tried; the first that accepts decides. Header-only reading
// checks SEED volumes before MINISEED.
std::vector<const FormatReader*> formatsInOrder(Order order) {
    static const Svx4VolumeReader volume;
    static const Svx4Reader svx4;
    std::vector<const FormatReader*> formats = {&volume, &svx4};
    static const Svx3Reader svx3;
    formats.push_back(&svx3); // SVX Type 3
    static const SvxAsciiReader ascii;
    formats.push_back(&ascii); // SVX ASCII 1.0 and 2.0
    static const SacReader sac;
    formats.push_back(&sac); // SAC
    // MINISEED before the SEED volume when loading, the other way round for header-only reading.
    static const MiniSeedReader miniSeed;
    static const SeedVolumeReader seedVolume;
    if (order == Order::HeaderOnly)
        formats.insert(formats.end(), {&seedVolume, &miniSeed});
    else
        formats.insert(formats.end(), {&miniSeed, &seedVolume});
    static const PeppReader pepp;
    formats.push_back(&pepp); // PEPP
    static const Gse2Reader gse2;
    formats.push_back(&gse2); // GSE2.0
    static const AhReader ah;
    formats.push_back(&ah); // AH text
    return formats;
}

const FormatReader* forcedReader(int forcedKind) {
    static const Gse2Reader gse2;
    static const PeppReader forcedPepp(true);
    static const SeedChannelReader seedChannel;
    static const Svx4VolumeReader volumeChannel(true);
    switch (forcedKind) {
    case kForceSvxVolumeChannel:
        return &volumeChannel;
    case kForceGse2:
        return &gse2;
    case kForcePepp:
        return &forcedPepp;
    case kForceSeedVolume:
    case kForceSeedChannel:
        return &seedChannel;
    default:
        return nullptr;
    }
}

const char* forcedFailure(int forcedKind) {
    switch (forcedKind) {
    case kForcePepp:
        return "Error loading PEPP file";
    case kForceGse2:
        return "Error loading GSE20 file";
    case kForceSvxVolumeChannel:
        return "Error loading SVX Data Set Volume";
    default:
        return "Error loading SEED Volume";
    }
}

// Messages that stay visible in the picture server mode.
bool alwaysShown(const std::string& text) {
    return text.rfind("Error loading SEED", 0) == 0 || text == "Error loading PEPP file" ||
           text == "Error loading GSE20 file" || text == "Out of memory";
}

} // namespace

void LoadContext::report(const std::string& text, bool suppressibleInPictureServer) {
    logFormat("load %s: %s", path_.c_str(), text.c_str());
    if (suppressibleInPictureServer && mode_ == LoadMode::PictureServer) return;
    messages_.error(text);
}

const char* fileKindName(int kind, SubKind subKind) {
    switch (kind) {
    case kKindSvx4:
        return subKind == SubKind::Text    ? "SVX ASCII"
               : subKind == SubKind::Type3 ? "SVX Type 3"
                                           : "SVX Type 4";
    case kKindSvxVolume:
        return "SVX data-set volume";
    case kKindSac:
        return "SAC";
    case kKindPepp:
        return "PEPP";
    case kKindSeed:
        return "SEED volume";
    case kKindGse2:
        return "GSE2.0";
    case kKindMiniSeed:
        return "miniSEED";
    case kKindMiniSeedSet:
        return "miniSEED data set";
    case kKindAh:
        return "AH";
    default:
        return "unknown";
    }
}

EventLoader::EventLoader(Messages& messages, LoaderSettings settings)
    : messages_(messages), settings_(std::move(settings)) {}

std::string EventLoader::resolvePath(const std::string& fileName) const {
    if (fileName.find_first_of(":/\\") != std::string::npos || settings_.eventDirectory.empty())
        return fileName;
    return (settings_.eventDirectory / fileName).string();
}

LoadResult EventLoader::load(const LoadRequest& request) {
    const std::string path = resolvePath(request.fileName);
    MappedFile file;
    if (!file.open(path)) {
        LoadResult failed;
        failed.path = path;
        logFormat("load %s: cannot open", path.c_str());
        if (request.mode == LoadMode::Interactive)
            messages_.error(format("Can't open file %s", path.c_str()));
        return failed;
    }
    return loadBytes(file.bytes(), path, request);
}

LoadResult EventLoader::loadBytes(std::span<const std::uint8_t> bytes, const std::string& path,
                                  const LoadRequest& request) {
    LoadContext context(bytes, path, request.mode, messages_, settings_);
    context.forcedKind = request.forcedKind;
    context.channelIndex = request.channelIndex;
    context.seed = request.seed;
    LoadResult result;
    result.path = path;
    const auto fail = [&](const std::string& text) {
        if (!text.empty()) context.report(text, !alwaysShown(text));
        LoadResult cleared;
        cleared.path = path;
        cleared.kind = result.kind;
        return cleared;
    };

    const FormatReader* reader = nullptr;
    if (request.forcedKind != kForceNone) {
        reader = forcedReader(request.forcedKind);
        std::string failure;
        if (!reader || reader->readHeader(context, result, failure) != HeaderStatus::Ok)
            return fail(forcedFailure(request.forcedKind));
    } else {
        for (const FormatReader* candidate : formatsInOrder(Order::Load)) {
            std::string failure;
            LoadResult attempt;
            attempt.path = path;
            const HeaderStatus status = candidate->readHeader(context, attempt, failure);
            if (status == HeaderStatus::NotThisFormat) continue;
            result = std::move(attempt);
            if (status == HeaderStatus::Failed) return fail(failure);
            reader = candidate;
            break;
        }
        if (!reader) return fail(format("Unknown file type %s", path.c_str()));
    }

    int count = result.commonCount;
    if (count <= 50) return fail("Invalid data count in file");
    if (count >= kMaxSampleCount) {
        context.report(format("Event file to big %d points lost.", count - kMaxSampleCount));
        count = kMaxSampleCount;
    }
    result.commonCount = count;
    try {
        for (LoadedChannel& channel : result.channels)
            channel.samples.reserve(static_cast<std::size_t>(count));
    } catch (const std::bad_alloc&) {
        return fail("Out of memory");
    }
    if (!reader->readSamples(context, result, count)) return fail({});
    for (LoadedChannel& channel : result.channels) {
        channel.samples.resize(static_cast<std::size_t>(count));
        computeStatistics(channel.record.header, channel.samples);
        channel.record.fileName = path.substr(0, kMaxFileName);
    }
    result.ok = true;
    return result;
}

int EventLoader::recognise(std::span<const std::uint8_t> bytes, const std::string& path) {
    RecordingMessages quiet;
    LoadContext context(bytes, path, LoadMode::PictureServer, quiet, settings_);
    for (const FormatReader* candidate : formatsInOrder(Order::Load)) {
        LoadResult attempt;
        std::string failure;
        if (candidate->readHeader(context, attempt, failure) != HeaderStatus::NotThisFormat)
            return attempt.kind;
    }
    return kKindUnknown;
}

LoadResult EventLoader::readHeaderOnlyBytes(std::span<const std::uint8_t> bytes, const std::string& path) {
    RecordingMessages quiet;
    LoadContext context(bytes, path, LoadMode::PictureServer, quiet, settings_);
    for (const FormatReader* candidate : formatsInOrder(Order::HeaderOnly)) {
        LoadResult attempt;
        attempt.path = path;
        if (candidate->readHeaderOnly(context, attempt)) {
            attempt.ok = true;
            return attempt;
        }
    }
    LoadResult none;
    none.path = path;
    return none;
}

LoadResult EventLoader::readHeaderOnly(const std::filesystem::path& path) {
    MappedFile file;
    if (!file.open(path)) {
        LoadResult none;
        none.path = path.string();
        return none;
    }
    return readHeaderOnlyBytes(file.bytes(), path.string());
}

bool isSvx4File(const std::filesystem::path& path) {
    std::uint8_t bytes[kChannelHeaderSize] = {};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    const std::size_t got = std::fread(bytes, 1, sizeof bytes, f);
    std::fclose(f);
    (void)got; // a shorter file counts as zero-filled
    return svx4HeaderCheck(channelHeaderFromBytes(bytes));
}

} // namespace tlx
