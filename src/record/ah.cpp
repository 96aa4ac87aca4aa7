#include "record/ah.h"

#include "core/text.h"
#include "record/svx4_format.h"

#include <cmath>
#include <cstring>

namespace tlx {
namespace {

constexpr std::size_t kMaxLine = 1024;
constexpr std::size_t kMaxDescription = 127;

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// The text after the key's colon, leading blanks removed; false when the line lacks the key.
bool keyValue(std::string_view line, std::string_view key, std::string_view& value) {
    const std::size_t at = line.find(key);
    if (at == std::string_view::npos) return false;
    value = trimTrailingBlanks(skipBlanks(line.substr(at + key.size())));
    return true;
}

bool hasHemisphereSign(std::string_view value) {
    for (char c : value)
        if (c == 'w' || c == 'W' || c == 's' || c == 'S') return true;
    return false;
}

enum class Section { None, Station, Event, Record };

struct AhHeader {
    bool isAh = false;          // the recognition lines were found
    bool haveData = false;      // the "data:" line was reached
    const char* data = nullptr; // first byte after the "data:" line
    int count = 0;
};

void applyStation(std::string_view line, EventRecord& record) {
    ChannelHeader& h = record.header;
    std::string_view v;
    if (keyValue(line, "code:", v)) {
        copyToField(h.sensorId, sizeof h.sensorId, toUpper(v.substr(0, 6)));
    } else if (keyValue(line, "channel:", v)) {
        const std::string component = toUpper(v.substr(0, 3));
        copyToField(h.componentName, sizeof h.componentName, component);
        if (component.size() == 3) h.orientation = component[2];
    } else if (keyValue(line, "type:", v)) {
        record.info.sensorDescription = toUpper(v.substr(0, kMaxDescription));
    } else if (keyValue(line, "latitude:", v)) {
        const double lat = leadingDouble(v);
        h.latitude = hasHemisphereSign(v) ? -lat : lat;
    } else if (keyValue(line, "longitude:", v)) {
        const double lon = leadingDouble(v);
        h.longitude = hasHemisphereSign(v) ? -lon : lon;
    } else if (keyValue(line, "elevation:", v)) {
        h.elevation = leadingDouble(v);
    } else if (keyValue(line, "gain:", v)) {
        const double gain = leadingDouble(v);
        if (gain != 0) h.sensitivity = 100.0 / gain;
    }
}

void applyRecord(std::string_view line, EventRecord& record, AhHeader& ah) {
    ChannelHeader& h = record.header;
    std::string_view v;
    if (keyValue(line, "ndata:", v)) {
        ah.count = leadingInt(v);
    } else if (keyValue(line, "delta:", v)) {
        const double delta = leadingDouble(v);
        if (delta > 0) h.sps = 1.0 / delta;
    } else if (keyValue(line, "start_time:", v)) {
        int f[5];
        if (scanInts(v, f, 5) == 5) {
            // The seconds field may carry a fraction: take the text after the fifth number.
            std::string_view rest = v;
            for (int i = 0; i < 5; ++i) {
                rest = skipBlanks(rest);
                std::size_t end = 0;
                while (end < rest.size() && !std::isspace(static_cast<unsigned char>(rest[end])))
                    ++end;
                rest.remove_prefix(end);
            }
            const double seconds = leadingDouble(rest);
            if (f[0] >= 1 && f[0] <= 9999 && f[1] >= 1 && f[1] <= 12 && f[2] >= 1 && f[2] <= 31 &&
                f[3] >= 0 && f[3] <= 23 && f[4] >= 0 && f[4] <= 59 && seconds >= 0 && seconds < 61) {
                h.startTime = EventTime{static_cast<std::uint16_t>(f[0]),
                                        static_cast<std::uint8_t>(f[1]),
                                        static_cast<std::uint8_t>(f[2]),
                                        static_cast<std::uint8_t>(f[3]),
                                        static_cast<std::uint8_t>(f[4]),
                                        static_cast<std::uint8_t>(seconds),
                                        0,
                                        0};
            }
        }
    } else if (keyValue(line, "comment:", v)) {
        copyToField(h.network, sizeof h.network, toUpper(v.substr(0, 6)));
    } else if (keyValue(line, "log:", v)) {
        const std::size_t at = v.find("TimeLock");
        if (at != std::string_view::npos && at + 9 < v.size() && v[at + 9] == '1') h.lockIndicator = 'L';
    }
}

// Reads the sections up to "data:". Recognition needs "station information" directly followed by "code:".
AhHeader parseHeader(std::span<const std::uint8_t> bytes, EventRecord& record) {
    AhHeader ah;
    TextLines lines(asText(bytes), kMaxLine);
    std::string_view line;
    bool previousWasStation = false;
    Section section = Section::None;
    while (lines.next(line)) {
        if (previousWasStation && startsWith(line, "code:")) ah.isAh = true;
        previousWasStation = startsWith(line, "station information");
        if (startsWith(line, "data:")) {
            ah.haveData = true;
            ah.data = lines.position();
            break;
        }
        if (line.find("station information") != std::string_view::npos)
            section = Section::Station;
        else if (line.find("event  information") != std::string_view::npos)
            section = Section::Event;
        else if (line.find("record  information") != std::string_view::npos)
            section = Section::Record;
        else if (section == Section::Station)
            applyStation(line, record);
        else if (section == Section::Record)
            applyRecord(line, record, ah);
        // The event section's lines are recognised and not used.
    }
    return ah;
}

void complete(EventRecord& record) {
    ChannelHeader& h = record.header;
    setOrientation(h, h.orientation);
    const std::string station = record.stationName();
    if (fieldText(h.network, sizeof h.network) == "OHIOSE") {
        h.adBits = 16;
        h.sensorType = 2;
        record.info.sensorOutput = 150;
        record.info.ampGain = 1;
        record.info.adVolts = 5;
        record.info.comment = station + " Ohio Seismic Network Event File";
    } else {
        record.info.comment = station;
    }
}

} // namespace

HeaderStatus AhReader::readHeader(LoadContext& context, LoadResult& result, std::string& failure) const {
    LoadedChannel channel;
    std::memcpy(channel.record.header.magic, kSvx4Magic, 8);
    const AhHeader ah = parseHeader(context.bytes(), channel.record);
    if (!ah.isAh) return HeaderStatus::NotThisFormat;
    result.kind = kKindAh;
    const double sps = channel.record.header.sps;
    if (!ah.haveData || !(sps > 0 && sps <= 1'000'000)) {
        failure = "Error Loading File";
        return HeaderStatus::Failed;
    }
    channel.record.header.sampleCount = ah.count;
    channel.record.header.sampleType = 1;
    complete(channel.record);
    channel.record.fileName = context.path();
    result.commonCount = ah.count;
    result.channels.push_back(std::move(channel));
    return HeaderStatus::Ok;
}

bool AhReader::readSamples(LoadContext& context, LoadResult& result, int count) const {
    EventRecord scratch;
    const AhHeader ah = parseHeader(context.bytes(), scratch);
    const char* p = ah.data;
    const char* end = reinterpret_cast<const char*>(context.bytes().data() + context.bytes().size());
    LoadedChannel& channel = result.channels.front();
    channel.samples.resize(static_cast<std::size_t>(count));
    int got = 0;
    while (p && got < count) {
        while (p < end && std::isspace(static_cast<unsigned char>(*p)))
            ++p;
        if (p >= end) break;
        double v = 0;
        std::size_t used = 0;
        if (!takeDouble(std::string_view(p, static_cast<std::size_t>(end - p)), v, used)) break;
        channel.samples[got++] = v;
        p += used;
    }
    if (got < count) {
        channel.samples.clear();
        context.report("Error Loading File");
        return false;
    }
    channel.record.header.sampleCount = count;
    return true;
}

} // namespace tlx
