// CSeed: filling event records from traces and volume channels, dataless descriptions and the
// file browser's channel list.
#include "record/seed.h"

#include "core/debug_log.h"
#include "core/file_io.h"
#include "core/messages.h"
#include "core/text.h"
#include "record/seed_memory.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tlx {
namespace {

EventTime eventTimeFromMicros(std::int64_t micros) {
    std::int64_t seconds = micros / 1'000'000;
    std::int64_t rest = micros % 1'000'000;
    if (rest < 0) {
        rest += 1'000'000;
        --seconds;
    }
    return fromCivil(civilFromEpoch(seconds, static_cast<std::int32_t>(rest * 1000)));
}

EventTime eventTimeFromBTime(const BTime& t) {
    return eventTimeFromMicros(btimeMicros(t));
}

void copySamples(const std::int32_t* src, std::size_t n, double mean, std::vector<double>& out) {
    reserveLarge(out, n);
    out.resize(n);
    double* dst = out.data();
    for (std::size_t i = 0; i < n; ++i)
        dst[i] = static_cast<double>(src[i]) - mean;
}

double exactMean(const std::int32_t* v, std::size_t n) {
    if (n == 0) return 0;
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += v[i];
    return static_cast<double>(sum) / static_cast<double>(n);
}

double realMean(const double* v, std::size_t n) {
    if (n == 0) return 0;
    long double sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += v[i];
    return static_cast<double>(sum / static_cast<long double>(n));
}

int sensorTypeFromUnits(const std::string& units) {
    if (units == "M") return 3;
    if (units == "M/S**2") return 1;
    return 2;
}

int clampedCount(std::size_t n) {
    return static_cast<int>(std::min<std::size_t>(n, static_cast<std::size_t>(INT32_MAX)));
}

} // namespace

bool CSeed::fillFromTrace(std::size_t index, EventRecord& record, std::vector<double>* samples) const {
    if (index >= traces_.size()) return false;
    const SeedTrace& t = traces_[index];
    record.clear();
    ChannelHeader& h = record.header;
    std::memcpy(h.magic, "SVXTYPE4", 8);
    h.startTime = eventTimeFromMicros(t.startMicros);
    h.lockIndicator = 'L';
    h.sps = t.rate;
    h.sampleCount = clampedCount(t.count);
    record.info.sensorLocation = t.station;
    copyToField(h.sensorId, sizeof h.sensorId, t.station);
    copyToField(h.componentName, sizeof h.componentName, t.channel.substr(0, 3));
    if (t.channel.size() >= 3) setOrientation(h, t.channel[2]);
    copyToField(h.network, sizeof h.network, t.network);
    copyToField(record.info.seedNetwork, 3, t.network.substr(0, 2));
    copyToField(record.info.seedLocation, 3, t.location.substr(0, 2));
    if (sensorDefaults) {
        std::string id = t.station + "." + t.channel;
        if (!t.network.empty()) id += "." + t.network;
        if (!t.location.empty()) id += "." + t.location;
        sensorDefaults(id, record);
    }
    findDataless(t.station, t.network, t.channel, record);
    if (t.real) h.sampleType = t.realWidth == 4 ? 2 : 3;
    if (samples) {
        // The mean of all the samples, truncated to an integer, is removed; samples beyond the
        // loader's limit are not converted, as it would drop them.
        const std::size_t limit = static_cast<std::size_t>(kMaxSampleCount);
        if (t.real) {
            const std::size_t n = t.reals.size();
            const double mean = std::trunc(realMean(t.reals.data(), n));
            reserveLarge(*samples, std::min(n, limit));
            for (std::size_t i = 0; i < std::min(n, limit); ++i)
                samples->push_back(t.reals[i] - mean);
        } else {
            const std::size_t n = t.samples.size();
            const double mean = std::trunc(exactMean(t.samples.data(), n));
            copySamples(t.samples.data(), std::min(n, limit), mean, *samples);
        }
    }
    return true;
}

bool CSeed::fillFromVolumeChannel(std::size_t index, EventRecord& record, std::vector<double>* samples,
                                  Messages* messages) const {
    if (index >= traces_.size()) return false;
    const SeedTrace& t = traces_[index];
    record.clear();
    ChannelHeader& h = record.header;
    std::memcpy(h.magic, "SVXTYPE4", 8);
    std::size_t count = t.samples.size();
    if (count >= static_cast<std::size_t>(kMaxSampleCount)) {
        if (messages)
            messages->error(format("File has too many data points. %ld Lost",
                                   static_cast<long>(count - static_cast<std::size_t>(kMaxSampleCount))));
        count = static_cast<std::size_t>(kMaxSampleCount);
    }
    h.sampleCount = static_cast<std::int32_t>(count);
    h.startTime = eventTimeFromBTime(t.start);
    h.sps = t.rate;
    h.sampleType = 1;
    h.lockIndicator = 'L';
    copyToField(h.sensorId, sizeof h.sensorId, t.station);
    copyToField(h.network, sizeof h.network, t.network.substr(0, 2));
    copyToField(record.info.seedNetwork, 3, t.network.substr(0, 2));
    copyToField(record.info.seedLocation, 3, t.location.substr(0, 2));
    copyToField(h.componentName, sizeof h.componentName, t.channel.substr(0, 3));
    if (t.channel.size() >= 3) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t.channel[2])));
        if (c == 'E' || c == 'N' || c == 'Z') h.orientation = c;
    }
    h.sensorType = 2;
    if (t.stationIndex >= 0) {
        const SeedStation& st = control_.stations[static_cast<std::size_t>(t.stationIndex)];
        const SeedChannel& ch = st.channels[static_cast<std::size_t>(t.channelIndex)];
        h.latitude = ch.latitude;
        h.longitude = ch.longitude;
        h.elevation = st.elevation;
        h.azimuth = ch.azimuth;
        h.incident = ch.dip + 90.0;
        h.sensitivity = ch.sensitivity;
        record.info.sensorLocation =
            st.siteName.empty() ? format("%s Ch: %s", t.station.c_str(), t.channel.c_str()) : st.siteName;
        record.info.sensorDescription = ch.instrument;
        const std::string units = std::string(trim(control_.unitName(ch.unitsKey)));
        if (units == "M")
            h.sensorType = 3;
        else if (units == "M/S")
            h.sensorType = 2;
        else if (units == "M/S**2")
            h.sensorType = 1;
        else
            logFormat("Known seed sensor type = %s", units.c_str());
    }
    const SeedHypocentre& hy = control_.hypocentre;
    if (hy.present) {
        EventEntry e{};
        e.originTime = eventTimeFromBTime(hy.origin);
        e.latitude = hy.latitude;
        e.longitude = hy.longitude;
        e.depth = hy.depth;
        for (const auto& [m, name] : hy.magnitudes)
            setMagnitude(e, m, name);
        record.addEvent(e);
    }
    if (samples) {
        copySamples(t.samples.data(), count, exactMean(t.samples.data(), count), *samples);
    }
    return true;
}

bool CSeed::applyDataless(const std::string& station, const std::string& channel, EventRecord& record) const {
    const SeedStation* st = control_.findStation(station);
    if (!st) return false;
    const SeedChannel* ch = nullptr;
    for (const SeedChannel& c : st->channels)
        if (c.channel == channel) {
            ch = &c;
            break;
        }
    if (!ch) return false;
    record.info.sensorLocation = st->siteName.substr(0, kMaxInfoText);
    record.info.sensorDescription = ch->instrument.substr(0, kMaxInfoText);
    copyToField(record.info.seedNetwork, 3, st->network.substr(0, 2));
    copyToField(record.info.seedLocation, 3, ch->location.substr(0, 2));
    record.header.elevation = st->elevation;
    record.header.latitude = ch->latitude;
    record.header.longitude = ch->longitude;
    record.header.sensitivity = ch->sensitivity;
    record.header.sensorType =
        static_cast<std::uint8_t>(sensorTypeFromUnits(std::string(trim(control_.unitName(ch->unitsKey)))));
    return true;
}

bool CSeed::findDataless(const std::string& station, const std::string& network, const std::string& channel,
                         EventRecord& record) const {
    if (datalessExtension.empty() && datalessDirectory.empty() && infoDirectory.empty()) return false;
    std::vector<std::filesystem::path> candidates;
    const std::string plain = station + "." + datalessExtension;
    const std::string withNet = station + "." + network + "." + datalessExtension;
    for (const std::string& name : {plain, withNet})
        for (const auto& dir : {datalessDirectory, infoDirectory})
            if (!dir.empty()) candidates.push_back(dir / name);
    for (const auto& path : candidates) {
        std::vector<std::uint8_t> bytes;
        if (!std::filesystem::exists(path) || !readWholeFile(path, bytes)) continue;
        CSeed dataless;
        dataless.setSourcePath(path.string());
        if (!dataless.readDataless(bytes)) continue;
        if (dataless.applyDataless(station, channel, record)) {
            logFormat("SEED: %s.%s described by %s", station.c_str(), channel.c_str(), path.string().c_str());
            return true;
        }
    }
    return false;
}

int CSeed::addMiniSeedInformation(const std::filesystem::path& path, const std::vector<EventRecord*>& records,
                                  std::string& message) {
    message.clear();
    std::vector<std::uint8_t> bytes;
    CSeed dataless;
    dataless.setSourcePath(path.string());
    if (!readWholeFile(path, bytes) || !dataless.readDataless(bytes)) {
        message = "Dataless SEED or SEED File Parse Error";
        return 0;
    }
    int changed = 0;
    for (EventRecord* record : records) {
        if (!record) continue;
        std::string station = fieldText(record->header.sensorId, sizeof record->header.sensorId);
        while (!station.empty() && station.back() == ' ')
            station.pop_back();
        if (dataless.applyDataless(station, record->component(), *record)) ++changed;
    }
    if (changed == 0) message = format("No Channel Information Found in File %s", path.string().c_str());
    return changed;
}

std::vector<std::string> CSeed::listChannels() const {
    std::vector<std::string> out;
    for (const SeedTrace& t : traces_) {
        const CivilTime c = toCivil(eventTimeFromMicros(t.startMicros));
        const std::string when =
            format("%02d/%02d/%02d %02d:%02d:%02d", c.month, c.day, c.year % 100, c.hour, c.minute, c.second);
        if (!isVolume_) {
            out.push_back(
                format("MINISEED Data Set\t%s\t%s (%s)", when.c_str(), t.station.c_str(), t.channel.c_str()));
            continue;
        }
        const SeedStation* st =
            t.stationIndex >= 0 ? &control_.stations[static_cast<std::size_t>(t.stationIndex)] : nullptr;
        const SeedHypocentre& hy = control_.hypocentre;
        if (hy.present && st) {
            constexpr double kRad = 3.14159265358979323846 / 180.0;
            const double cosd = std::sin(st->latitude * kRad) * std::sin(hy.latitude * kRad) +
                                std::cos(st->latitude * kRad) * std::cos(hy.latitude * kRad) *
                                    std::cos((st->longitude - hy.longitude) * kRad);
            const double km = std::acos(std::clamp(cosd, -1.0, 1.0)) / kRad * kKmPerDegree;
            out.push_back(format("SEED Data Set\t%s\t%s (%s)  %dkm from %s", when.c_str(), t.station.c_str(),
                                 t.channel.c_str(), static_cast<int>(km), t.station.c_str()));
        } else {
            out.push_back(format("SEED Data Set\t%s\t%s (%s)  %s", when.c_str(), t.station.c_str(),
                                 t.channel.c_str(), st ? st->siteName.c_str() : ""));
        }
    }
    return out;
}

} // namespace tlx
