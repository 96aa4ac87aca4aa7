#include "record/whole_channel.h"

#include "core/mapped_file.h"
#include "core/text.h"
#include "record/seed.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace tlx {
namespace {

bool matches(const std::string& station, const std::string& component, const std::string& s,
             const std::string& c) {
    return iequals(trim(station), trim(s)) && iequals(trim(component), trim(c));
}

// Every trace of the chosen identity, placed by its start time on the first one's sample grid.
bool joinMiniSeed(const CSeed& seed, const std::string& station, const std::string& component,
                  WholeChannel& out, std::string& error) {
    const std::vector<SeedTrace>& traces = seed.traces();
    std::size_t chosen = 0;
    for (std::size_t i = 0; i < traces.size(); ++i)
        if (matches(station, component, traces[i].station, traces[i].channel.substr(0, 3))) {
            chosen = i;
            break;
        }
    const SeedTrace& model = traces[chosen];
    if (!(model.rate > 0)) {
        error = "The channel has no sample rate";
        return false;
    }
    std::vector<const SeedTrace*> parts;
    for (const SeedTrace& t : traces)
        if (t.station == model.station && t.channel == model.channel && t.network == model.network &&
            t.location == model.location && !t.samples.empty())
            parts.push_back(&t);
    std::sort(parts.begin(), parts.end(),
              [](const SeedTrace* a, const SeedTrace* b) { return a->startMicros < b->startMicros; });
    if (parts.empty()) {
        error = "The channel has no samples";
        return false;
    }
    const std::int64_t origin = parts.front()->startMicros;
    // Beyond the limit a part is left out; the clamp also keeps absurd rates or times from overflowing.
    auto indexOf = [&](std::int64_t micros) {
        const double index = static_cast<double>(micros - origin) * model.rate / 1e6;
        return std::llround(std::clamp(index, 0.0, static_cast<double>(kMaxWholeChannelSamples)));
    };
    long long total = 0;
    for (const SeedTrace* t : parts)
        total = std::max(total, indexOf(t->startMicros) + static_cast<long long>(t->samples.size()));
    out.limited = total > kMaxWholeChannelSamples;
    total = std::min(total, kMaxWholeChannelSamples);
    try {
        out.samples.assign(static_cast<std::size_t>(total), 0.0);
    } catch (const std::bad_alloc&) {
        error = "Out of memory";
        return false;
    }
    std::vector<bool> filled(static_cast<std::size_t>(total), false);
    for (const SeedTrace* t : parts) {
        const long long at = indexOf(t->startMicros);
        for (std::size_t i = 0; i < t->samples.size() && at + static_cast<long long>(i) < total; ++i) {
            out.samples[static_cast<std::size_t>(at) + i] = t->samples[i];
            filled[static_cast<std::size_t>(at) + i] = true;
        }
    }
    for (std::size_t i = 1; i < out.samples.size(); ++i)
        if (!filled[i]) out.samples[i] = out.samples[i - 1];
    // The header of the earliest part: it holds the channel's first sample.
    seed.fillFromTrace(static_cast<std::size_t>(parts.front() - traces.data()), out.record, nullptr);
    return true;
}

} // namespace

bool readWholeChannel(EventLoader& loader, const std::string& path, const std::string& station,
                      const std::string& component, WholeChannel& out, std::string& error) {
    out = WholeChannel{};
    const std::string resolved = loader.resolvePath(path);
    MappedFile file;
    if (!file.open(resolved)) {
        error = format("Can't open file %s", resolved.c_str());
        return false;
    }
    return readWholeChannelBytes(loader, file.bytes(), resolved, station, component, out, error);
}

bool readWholeChannelBytes(EventLoader& loader, std::span<const std::uint8_t> bytes, const std::string& path,
                           const std::string& station, const std::string& component, WholeChannel& out,
                           std::string& error) {
    out = WholeChannel{};
    CSeed seed;
    seed.setSplitAtGaps(true);
    if (seed.readMiniSeed(bytes, true) && !seed.traces().empty())
        return joinMiniSeed(seed, station, component, out, error);
    RecordingMessages quiet;
    EventLoader own(quiet, loader.settings());
    LoadRequest request;
    request.fileName = path;
    request.mode = LoadMode::PictureServer;
    LoadResult loaded = own.loadBytes(bytes, path, request);
    if (!loaded.ok || loaded.channels.empty()) {
        error = quiet.texts().empty() ? format("Can't read %s", path.c_str()) : quiet.texts().back();
        return false;
    }
    std::size_t chosen = 0;
    for (std::size_t i = 0; i < loaded.channels.size(); ++i)
        if (matches(station, component, loaded.channels[i].record.stationName(),
                    loaded.channels[i].record.component())) {
            chosen = i;
            break;
        }
    LoadedChannel& channel = loaded.channels[chosen];
    out.record = std::move(channel.record);
    out.samples = std::move(channel.samples);
    out.limited = out.samples.size() >= static_cast<std::size_t>(kMaxSampleCount);
    return true;
}

} // namespace tlx
