#include "record/svx_ascii_reader.h"

#include "core/text.h"
#include "record/svx4_format.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace tlx {
namespace {

constexpr std::size_t kMaxHeaderLine = 254;

// Walks a text like sscanf's "%d/%d/%d": numbers (blanks before them allowed) and literal characters.
class Cursor {
  public:
    explicit Cursor(std::string_view s) : s_(s) {}
    bool number(int& out) {
        std::size_t used = 0;
        if (!takeInt(s_, out, used)) return false;
        s_.remove_prefix(used);
        return true;
    }
    bool literal(char c) {
        if (s_.empty() || s_.front() != c) return false;
        s_.remove_prefix(1);
        return true;
    }
    std::string_view rest() const { return s_; }

  private:
    std::string_view s_;
};

bool validTime(int year, int month, int day, int hour, int minute, int second) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour >= 0 &&
           hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 60;
}

EventTime makeTime(const int f[6], std::int32_t nanoseconds) {
    EventTime t{};
    t.year = static_cast<std::uint16_t>(f[0]);
    t.month = static_cast<std::uint8_t>(f[1]);
    t.day = static_cast<std::uint8_t>(f[2]);
    t.hour = static_cast<std::uint8_t>(f[3]);
    t.minute = static_cast<std::uint8_t>(f[4]);
    t.second = static_cast<std::uint8_t>(f[5]);
    t.nanoseconds = nanoseconds;
    return t;
}

// "y/m/d h:m:s" with the fraction left in the cursor.
bool dateAndTime(Cursor& c, int f[6]) {
    return c.number(f[0]) && c.literal('/') && c.number(f[1]) && c.literal('/') && c.number(f[2]) &&
           c.number(f[3]) && c.literal(':') && c.number(f[4]) && c.literal(':') && c.number(f[5]) &&
           validTime(f[0], f[1], f[2], f[3], f[4], f[5]);
}

// Version 2.0: the fraction's digits, 1 = tenths, 2 = hundredths, 3 or more = milliseconds.
bool startTimeV2(std::string_view value, EventTime& out) {
    Cursor c(value);
    int f[6];
    if (!dateAndTime(c, f)) return false;
    std::int32_t ns = 0;
    if (c.literal('.')) {
        const std::string_view digits = c.rest();
        int scale = 100'000'000;
        for (std::size_t i = 0;
             i < digits.size() && i < 3 && std::isdigit(static_cast<unsigned char>(digits[i])); ++i) {
            ns += (digits[i] - '0') * scale;
            scale /= 10;
        }
    }
    out = makeTime(f, ns);
    return true;
}

// Version 1.0: the number after the point is the tenths digit.
bool timeTenths(std::string_view value, EventTime& out) {
    Cursor c(value);
    int f[6];
    if (!dateAndTime(c, f)) return false;
    std::int32_t ns = 0;
    if (c.literal('.')) {
        const std::string_view digits = skipBlanks(c.rest());
        if (!digits.empty() && std::isdigit(static_cast<unsigned char>(digits.front())))
            ns = (digits.front() - '0') * 100'000'000;
    }
    out = makeTime(f, ns);
    return true;
}

// A header number: what parses at the start of the value; false when nothing does.
bool headerNumber(std::string_view value, double& out) {
    std::size_t used = 0;
    return takeDouble(value, out, used);
}

bool headerInt(std::string_view value, int& out) {
    Cursor c(value);
    return c.number(out);
}

char upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

void setSensorLocation(ChannelInfo& info, std::string_view value) {
    info.priorLocation = info.sensorLocation.substr(0, kMaxPriorLocation);
    info.sensorLocation = std::string(value.substr(0, kMaxInfoText));
}

void setSensorType(ChannelHeader& h, std::string_view value) {
    switch (upper(value.front())) {
    case 'A':
        h.sensorType = 1;
        break;
    case 'V':
        h.sensorType = 2;
        break;
    case 'D':
        h.sensorType = 3;
        break;
    default:
        break;
    }
}

// Keys both versions read the same way; false for any other key.
bool applyShared(std::string_view key, std::string_view value, EventRecord& record, int& count) {
    ChannelHeader& h = record.header;
    ChannelInfo& info = record.info;
    double v = 0;
    int n = 0;
    const auto is = [&](const char* name) { return iequals(key, name); };
    if (is("Number of Samples")) {
        if (headerInt(value, n)) count = h.sampleCount = n;
    } else if (is("SPS")) {
        if (headerNumber(value, v)) h.sps = v;
    } else if (is("Lock Indicator")) {
        h.lockIndicator = value.front();
    } else if (is("Comment")) {
        info.comment = std::string(value.substr(0, kMaxInfoText));
    } else if (is("A/D Converter Bits")) {
        if (headerInt(value, n) && n >= 0 && n <= std::numeric_limits<std::int16_t>::max())
            h.adBits = static_cast<std::int16_t>(n);
    } else if (is("Sensor Location")) {
        setSensorLocation(info, value);
    } else if (is("Sensor Latitude")) {
        if (headerNumber(value, v)) h.latitude = v;
    } else if (is("Sensor Longitude")) {
        if (headerNumber(value, v)) h.longitude = v;
    } else if (is("Magnitude Correction")) {
        if (headerNumber(value, v)) h.magCorrection = v;
    } else {
        return false;
    }
    return true;
}

void applyV2(std::string_view key, std::string_view value, EventRecord& record, int& count) {
    if (applyShared(key, value, record, count)) return;
    ChannelHeader& h = record.header;
    ChannelInfo& info = record.info;
    double v = 0;
    const auto is = [&](const char* name) { return iequals(key, name); };
    if (is("Start Time")) {
        EventTime t;
        if (startTimeV2(value, t)) h.startTime = t;
    } else if (is("Start Time Offset")) {
        if (headerNumber(value, v)) h.startTimeOffset = v;
    } else if (is("Time Reference Type")) {
        copyToField(h.timeRefType, sizeof h.timeRefType, value);
    } else if (is("DataLogger")) {
        info.dataLogger = std::string(value.substr(0, kMaxInfoText));
    } else if (is("Sensor Description")) {
        info.sensorDescription = std::string(value.substr(0, kMaxInfoText));
    } else if (is("Sensor Elevation")) {
        if (headerNumber(value, v)) h.elevation = v;
    } else if (is("Sensor Orientation")) {
        h.orientation = value.front();
    } else if (is("Sensor Incident")) {
        if (headerNumber(value, v)) h.incident = v;
    } else if (is("Sensor Azimuth")) {
        if (headerNumber(value, v)) h.azimuth = v;
    } else if (is("Sensor Type")) {
        setSensorType(h, value);
    } else if (is("Sensor Sensitivity")) {
        if (headerNumber(value, v)) h.sensitivity = v;
    } else if (is("Sensor ID")) {
        copyToField(h.sensorId, sizeof h.sensorId, value);
    } else if (is("Component Name")) {
        copyToField(h.componentName, sizeof h.componentName, value.substr(0, 3));
    } else if (is("Network Affiliation")) {
        copyToField(h.network, sizeof h.network, value);
    } else if (is("Event Information")) {
        EventEntry e{};
        if (parseEventInformation(value, e)) record.addEvent(e);
    } else if (is("Pick Information")) {
        PickEntry p{};
        if (parsePickInformation(value, p)) record.addPick(p);
    }
}

// What a version 1.0 header collects before it becomes an event entry and picks.
struct V1Extras {
    EventEntry event{};
    int ps[5] = {};
    bool havePs = false;
    double mdDuration = 0;
};

void applyV1(std::string_view key, std::string_view value, EventRecord& record, int& count, V1Extras& x) {
    if (applyShared(key, value, record, count)) return;
    ChannelHeader& h = record.header;
    double v = 0;
    const auto is = [&](const char* name) { return iequals(key, name); };
    if (is("Start Time")) {
        EventTime t;
        if (timeTenths(value, t)) h.startTime = t;
    } else if (is("Sensor Orientation")) {
        setOrientation(h, upper(value.front()));
    } else if (is("Event Latitude")) {
        if (headerNumber(value, v)) x.event.latitude = v;
    } else if (is("Event Longitude")) {
        if (headerNumber(value, v)) x.event.longitude = v;
    } else if (is("Event Depth")) {
        if (headerNumber(value, v)) x.event.depth = v;
    } else if (is("Event Time")) {
        EventTime t;
        if (timeTenths(value, t)) x.event.originTime = t;
    } else if (is("Event Magnitude")) {
        const std::size_t blank = value.find_first_of(" \t");
        if (blank != std::string_view::npos && headerNumber(value.substr(blank), v))
            setMagnitude(x.event, v, std::string(value.substr(0, blank)));
    } else if (is("PS Pick Information")) {
        x.havePs = scanInts(value, x.ps, 5) == 5;
    } else if (is("Md Duration")) {
        if (headerNumber(value, v)) x.mdDuration = v;
    }
}

void finishV1(EventRecord& record, const V1Extras& x) {
    EventEntry event = x.event;
    if (event.originTime.year != 0) record.addEvent(event);
    if (!x.havePs) return;
    double md = std::trunc(x.mdDuration);
    if (!(std::fabs(md) < 1e6)) md = 0;
    addLegacyPicks(record, x.ps[0], x.ps[1], x.ps[2], x.ps[3], x.ps[4], static_cast<int>(md));
}

bool splitHeaderLine(std::string_view line, std::string_view& key, std::string_view& value) {
    if (line.empty() || line.front() == '!' || line.front() == '#') return false;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    key = line.substr(0, colon);
    value = trimTrailingBlanks(skipBlanks(line.substr(colon + 1)));
    return true;
}

int fileVersion(std::span<const std::uint8_t> bytes) {
    constexpr std::string_view first = "! SVX A", v1 = "SCII Event File Format 1.0",
                               v2 = "SCII Event File Format 2.0";
    if (bytes.size() < first.size() + v1.size()) return 0;
    const std::string_view head(reinterpret_cast<const char*>(bytes.data()), first.size() + v1.size());
    if (head.substr(0, first.size()) != first) return 0;
    if (head.substr(first.size()) == v1) return 1;
    if (head.substr(first.size()) == v2) return 2;
    return 0;
}

// Positions the scanner after the "Data:" line; false when the file has none.
bool findDataLine(TextLines& lines) {
    std::string_view line;
    while (lines.next(line)) {
        const std::size_t colon = line.find(':');
        if (colon != std::string_view::npos && line.substr(0, colon) == "Data") return true;
    }
    return false;
}

// One data line: its leading number; a line with a time column before the value ("time value")
// gives its last field. Unparsable lines give 0.
double dataValue(std::string_view line) {
    line = skipBlanks(line);
    double value = 0;
    std::size_t used = 0;
    if (!takeDouble(line, value, used)) value = 0, used = 0;
    const std::string_view rest = trimTrailingBlanks(line.substr(used));
    const std::size_t blank = rest.find_last_of(" \t\f\v");
    if (blank != std::string_view::npos) value = leadingDouble(rest.substr(blank + 1));
    return value;
}

// The date and time fields of an event or pick line: "y/m/d" and "h:m:s.ms".
bool entryTime(std::string_view dateText, std::string_view timeText, EventTime& out) {
    const std::string joined = std::string(dateText) + " " + std::string(timeText);
    Cursor c(joined);
    int f[6], ms = 0;
    if (!dateAndTime(c, f) || !c.literal('.') || !c.number(ms) || ms < 0 || ms > 999) return false;
    out = makeTime(f, ms * 1'000'000);
    return true;
}

} // namespace

bool parseEventInformation(std::string_view value, EventEntry& entry) {
    const std::vector<std::string> f = split(value, ',');
    if (f.size() < 16) return false;
    const auto cut = [&](std::size_t i, std::size_t max) { return std::string_view(f[i]).substr(0, max); };
    EventEntry e{};
    if (!entryTime(cut(0, 10), cut(1, 12), e.originTime)) return false;
    double real[3];
    for (int i = 0; i < 3; ++i) {
        const std::string_view s = trimTrailingBlanks(skipBlanks(cut(2 + i, 20)));
        real[i] = 0;
        if (!s.empty() && !parseDouble(s, real[i])) return false;
    }
    e.latitude = real[0];
    e.longitude = real[1];
    e.depth = real[2];
    long long ints[6];
    for (int i = 0; i < 6; ++i) {
        const std::string_view s = trimTrailingBlanks(skipBlanks(cut(5 + i, 8)));
        ints[i] = 0;
        if (!s.empty() && !parseInt(s, ints[i])) return false;
        if (ints[i] < std::numeric_limits<std::int16_t>::min() ||
            ints[i] > std::numeric_limits<std::int16_t>::max())
            return false;
    }
    e.magMs = static_cast<std::int16_t>(ints[0]);
    e.magMb = static_cast<std::int16_t>(ints[1]);
    e.magMw = static_cast<std::int16_t>(ints[2]);
    e.magMl = static_cast<std::int16_t>(ints[3]);
    e.magMd = static_cast<std::int16_t>(ints[4]);
    e.magOther = static_cast<std::int16_t>(ints[5]);
    copyToField(e.magOtherType, sizeof e.magOtherType, cut(11, 4));
    long long type = 0, quality = 0, code = 0;
    if (!parseInt(cut(12, 8), type) || !parseInt(cut(13, 8), quality) || !parseInt(cut(14, 20), code))
        return false;
    if (type < 0 || type > 255 || quality < 0 || quality > 255 || code < 0 || code > 65535) return false;
    e.eventType = static_cast<std::uint8_t>(type);
    e.quality = static_cast<std::uint8_t>(quality);
    e.codeC = static_cast<std::uint16_t>(code);
    copyToField(e.source, sizeof e.source, cut(15, 6));
    entry = e;
    return true;
}

bool parsePickInformation(std::string_view value, PickEntry& pick) {
    const std::vector<std::string> f = split(value, ',');
    if (f.size() < 7) return false;
    PickEntry p{};
    if (!entryTime(f[0], f[1], p.time)) return false;
    copyToField(p.phase, sizeof p.phase, std::string_view(f[2]).substr(0, 8));
    long long flags = 0, weight = 0, number = 0;
    if (!parseInt(f[3], flags) || !parseInt(f[4], weight) || !parseInt(f[6], number)) return false;
    if (flags < 0 || flags > 65535 || weight < std::numeric_limits<std::int16_t>::min() ||
        weight > std::numeric_limits<std::int16_t>::max() ||
        number < std::numeric_limits<std::int16_t>::min() ||
        number > std::numeric_limits<std::int16_t>::max())
        return false;
    p.pickFlags = static_cast<std::uint16_t>(flags);
    p.weight = static_cast<std::int16_t>(weight);
    copyToField(p.text, sizeof p.text, std::string_view(f[5]).substr(0, 15));
    p.value = static_cast<std::int16_t>(number);
    pick = p;
    return true;
}

void addLegacyPicks(EventRecord& record, int pTenths, int sTenths, int pWeight, int sWeight, int flags,
                    int mdTenths) {
    EventTime base = record.header.startTime;
    base.nanoseconds = base.nanoseconds / 100'000'000 * 100'000'000;
    const auto at = [&](long long tenths) {
        return addSeconds(base, static_cast<double>(tenths / 10) + static_cast<double>(tenths % 10) / 10.0);
    };
    const auto clampWeight = [](long long w) {
        return static_cast<std::int16_t>(std::clamp<long long>(w, std::numeric_limits<std::int16_t>::min(),
                                                               std::numeric_limits<std::int16_t>::max()));
    };
    std::uint16_t pickFlags = 0;
    if (flags < 0) pickFlags = (flags & 0x4000) ? 1 : 2;
    const auto value = static_cast<std::int16_t>((flags & 0x3FFF) / 10);
    const auto make = [&](const char* phase, long long tenths, std::int16_t weight) {
        PickEntry p{};
        p.time = at(tenths);
        copyToField(p.phase, sizeof p.phase, phase);
        p.pickFlags = pickFlags;
        p.weight = weight;
        p.value = value;
        record.addPick(p);
    };
    // An offset of 0 means the pick was never set.
    if (pTenths != 0) make("P", pTenths, clampWeight(4LL * pWeight));
    if (sTenths != 0) make("S", sTenths, clampWeight(4LL * sWeight));
    if (mdTenths != 0 && pTenths != 0) make("Md", static_cast<long long>(pTenths) + mdTenths, 0);
}

HeaderStatus SvxAsciiReader::readHeader(LoadContext& context, LoadResult& result,
                                        std::string& failure) const {
    const auto bytes = context.bytes();
    const int version = fileVersion(bytes);
    if (version == 0) return HeaderStatus::NotThisFormat;
    result.kind = kKindSvx4;
    result.subKind = SubKind::Text;
    LoadedChannel channel;
    EventRecord& record = channel.record;
    std::memcpy(record.header.magic, kSvx4Magic, 8);
    int count = 0;
    V1Extras extras;
    TextLines lines(asText(bytes), kMaxHeaderLine);
    std::string_view line, key, value;
    lines.next(line); // the format line
    while (lines.next(line)) {
        if (!splitHeaderLine(line, key, value)) continue;
        if (key == "Data") break;
        if (value.empty()) continue;
        if (version == 2)
            applyV2(key, value, record, count);
        else
            applyV1(key, value, record, count, extras);
    }
    if (version == 1) finishV1(record, extras);
    const double sps = record.header.sps;
    if (!(sps > 0 && sps <= 1'000'000)) {
        failure = format("Invalid sample rate in file %s", context.path().c_str());
        return HeaderStatus::Failed;
    }
    record.fileName = context.path();
    result.commonCount = count;
    result.channels.push_back(std::move(channel));
    return HeaderStatus::Ok;
}

bool SvxAsciiReader::readSamples(LoadContext& context, LoadResult& result, int count) const {
    const auto bytes = context.bytes();
    TextLines lines(asText(bytes), kMaxHeaderLine);
    std::string_view line;
    lines.next(line);
    if (!findDataLine(lines)) {
        context.report("Error Loading Data - No \"Data\" keyword found", false);
        return false;
    }
    const std::string_view text = asText(bytes);
    TextLines data(text.substr(static_cast<std::size_t>(lines.position() - text.data())));
    LoadedChannel& channel = result.channels.front();
    channel.samples.resize(static_cast<std::size_t>(count));
    double* out = channel.samples.data();
    for (int i = 0; i < count; ++i) {
        if (!data.next(line)) {
            channel.samples.clear();
            context.report("Error Loading Data - End of File found to early", false);
            return false;
        }
        out[i] = dataValue(line);
    }
    channel.record.header.sampleType = 2;
    channel.record.header.sampleCount = count;
    return true;
}

} // namespace tlx
