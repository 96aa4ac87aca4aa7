#include "record/svx3.h"

#include "core/byte_order.h"
#include "core/file_io.h"
#include "core/text.h"
#include "record/loader.h"
#include "record/sensor_dat.h"
#include "record/svx4_format.h"
#include "record/svx_ascii_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tlx {
namespace {

using namespace svx3;

std::int16_t word(const std::uint8_t* header, std::size_t offset) {
    return readLE<std::int16_t>(header + offset);
}
std::uint16_t uword(const std::uint8_t* header, std::size_t offset) {
    return readLE<std::uint16_t>(header + offset);
}
void putWord(std::uint8_t* header, std::size_t offset, int value) {
    writeLE<std::int16_t>(header + offset, static_cast<std::int16_t>(value));
}

bool within(int v, int lo, int hi) {
    return v >= lo && v <= hi;
}

// A version 2 header keeps its comment one character per word from offset 80.
void upgradeVersion2(std::uint8_t* header) {
    char comment[kCommentChars];
    for (std::size_t i = 0; i < kCommentChars; ++i)
        comment[i] = static_cast<char>(header[kV2Comment + 2 * i]);
    std::memset(header + kV2Comment, 0, kSvx3HeaderSize - kV2Comment);
    std::memcpy(header + kComment, comment, kCommentChars);
    putWord(header, kVersion, 3);
}

// The station code is the file's extension (the one before ".svx" for long names).
std::string extensionOf(const std::filesystem::path& path) {
    std::string name = path.filename().string();
    if (name.size() >= 4 && iequals(std::string_view(name).substr(name.size() - 4), ".svx"))
        name.resize(name.size() - 4);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

double magnitudeCorrection(const std::uint8_t* h) {
    const int code = word(h, kSmallCorrCode), value = word(h, kSmallCorrValue);
    if (value != 0 && (code == 0 || code == 1 || code == 10 || code == 100 || code == 1000 || code == 10000))
        return value / 10000.0 / (code == 0 ? 1 : code);
    const int whole = word(h, kMagCorrWhole), fraction = word(h, kMagCorrFrac);
    if (whole != 0 || fraction != 0) return whole + fraction / 10000.0;
    return 0;
}

void readEvent(const std::uint8_t* h, EventRecord& record) {
    const EventTime& start = record.header.startTime;
    const bool utc = h[kUtcByte] == 'U';
    int month = start.month, day = start.day;
    if (utc && h[kEventMonthByte] != 0 && h[kEventDayByte] != 0) {
        month = h[kEventMonthByte];
        day = h[kEventDayByte];
    }
    const int hour = h[kEventHourByte], minute = word(h, kEventMinute), second = word(h, kEventSecond),
              tenths = word(h, kEventTenths);
    if (!within(month, 1, 12) || !within(day, 1, 31) || !within(hour, 0, 23) || !within(minute, 0, 59) ||
        !within(second, 0, 60) || !within(tenths, 0, 9))
        return; // a damaged event time gives no entry rather than a wrong one
    EventEntry e{};
    e.originTime = start;
    e.originTime.month = static_cast<std::uint8_t>(month);
    e.originTime.day = static_cast<std::uint8_t>(day);
    e.originTime.hour = static_cast<std::uint8_t>(hour);
    e.originTime.minute = static_cast<std::uint8_t>(minute);
    e.originTime.second = static_cast<std::uint8_t>(second);
    e.originTime.nanoseconds = tenths * 100'000'000;
    if (hour == 23 && start.hour == 0) e.originTime = addSeconds(e.originTime, -86400.0);
    e.latitude = decodeSvx3Angle(word(h, kEvLatDeg), word(h, kEvLatThou));
    e.longitude = decodeSvx3Angle(word(h, kEvLonDeg), word(h, kEvLonThou));
    e.depth = word(h, kDepth) / 10.0;
    const std::string type(trimTrailingBlanks(fieldText(reinterpret_cast<const char*>(h + kMagType), 4)));
    setMagnitude(e, word(h, kMagnitude) / 10.0, type);
    record.addEvent(e);
}

} // namespace

double decodeSvx3Angle(std::int16_t degrees, std::int16_t thousandths) {
    int th = thousandths;
    if (degrees < 0 && th > 0) th = -th;
    return degrees + th / 1000.0;
}

void encodeSvx3Angle(double value, std::int16_t& degrees, std::int16_t& thousandths) {
    if (!std::isfinite(value) || std::fabs(value) > 32767) value = 0;
    int whole = static_cast<int>(value);
    int th = static_cast<int>((std::fabs(value - whole) + 0.0005) * 1000);
    if (th >= 1000) {
        th -= 1000;
        whole += value < 0 ? -1 : 1;
    }
    degrees = static_cast<std::int16_t>(whole);
    thousandths = static_cast<std::int16_t>(value < 0 ? -th : th);
}

bool svx3Check(std::span<const std::uint8_t> bytes, int& count) {
    if (bytes.size() < kSvx3DataOffset || bytes[0] != kSvx3FileMark) return false;
    const std::uint8_t* h = bytes.data() + kSvx3PreambleSize;
    const int version = word(h, kVersion);
    if (version != 2 && version != 3) return false;
    if (!within(word(h, kYear), 1960, 2200) || !within(word(h, kMonth), 1, 12) ||
        !within(word(h, kDay), 1, 31) || !within(word(h, kHour), 0, 24) || !within(word(h, kMinute), 0, 60) ||
        !within(word(h, kSecond), 0, 60) || !within(word(h, kEndHour), 0, 24) ||
        !within(word(h, kEndMinute), 0, 60) || !within(word(h, kEndSecond), 0, 60))
        return false;
    const std::uint16_t countWord = uword(h, kCountWord);
    const long long n = countWord == 0xFFFF ? readLE<std::int32_t>(bytes.data() + 1) : countWord - 100LL;
    if (n < 50 || n > kMaxSampleCount) return false;
    count = static_cast<int>(n);
    return true;
}

bool isSvx3File(std::span<const std::uint8_t> bytes) {
    int count = 0;
    return svx3Check(bytes, count);
}

bool svx3HeaderToRecord(std::span<const std::uint8_t> bytes, const std::string& path,
                        const LoaderSettings* settings, EventRecord& record) {
    int count = 0;
    if (!svx3Check(bytes, count)) return false;
    std::uint8_t h[kSvx3HeaderSize];
    std::memcpy(h, bytes.data() + kSvx3PreambleSize, sizeof h);
    if (word(h, kVersion) == 2) upgradeVersion2(h);

    record.clear();
    ChannelHeader& hd = record.header;
    std::memcpy(hd.magic, kSvx4Magic, 8);
    hd.startTime.year = static_cast<std::uint16_t>(word(h, kYear));
    hd.startTime.month = static_cast<std::uint8_t>(word(h, kMonth));
    hd.startTime.day = static_cast<std::uint8_t>(word(h, kDay));
    hd.startTime.hour = static_cast<std::uint8_t>(word(h, kHour));
    hd.startTime.minute = static_cast<std::uint8_t>(word(h, kMinute));
    hd.startTime.second = static_cast<std::uint8_t>(word(h, kSecond));
    hd.startTime.nanoseconds = std::clamp<int>(word(h, kTenths), 0, 9) * 100'000'000;
    hd.sampleCount = count;

    const auto tenthsOfDay = [&](std::size_t hour, std::size_t minute, std::size_t second,
                                 std::size_t tenths) {
        return ((word(h, hour) * 60LL + word(h, minute)) * 60 + word(h, second)) * 10 + word(h, tenths);
    };
    long long span = tenthsOfDay(kEndHour, kEndMinute, kEndSecond, kEndTenths) -
                     tenthsOfDay(kHour, kMinute, kSecond, kTenths);
    if (word(h, kEndHour) < word(h, kHour)) span += 864'000;
    const long long seconds = span / 10;
    if (seconds <= 0) return false;
    const double sps = static_cast<double>(count) / static_cast<double>(seconds);
    if (!(sps > 0 && sps <= 1'000'000)) return false;
    hd.sps = sps;
    hd.lockIndicator = static_cast<char>(h[kLock]);
    hd.sampleType = 0;

    const char orientation = static_cast<char>(h[kOrientation]);
    if (orientation == 'Z' || orientation == 'N' || orientation == 'E') {
        setOrientation(hd, orientation);
        const char band = sps < 0.5 ? 'V' : sps < 5 ? 'L' : 'B';
        const char component[3] = {band, 'H', orientation};
        copyToField(hd.componentName, sizeof hd.componentName, std::string_view(component, 3));
    } else {
        hd.orientation = orientation;
    }
    hd.latitude = decodeSvx3Angle(word(h, kLatDeg), word(h, kLatThou));
    hd.longitude = decodeSvx3Angle(word(h, kLonDeg), word(h, kLonThou));
    const std::string station = toUpper(extensionOf(path).substr(0, sizeof hd.sensorId));
    copyToField(hd.sensorId, sizeof hd.sensorId, station);
    hd.magCorrection = magnitudeCorrection(h);
    hd.adBits = word(h, kAdBits);

    std::string location;
    for (std::size_t i = 0; i < kLocationChars && h[kLocation + 2 * i] != 0; ++i)
        location += static_cast<char>(h[kLocation + 2 * i]);
    record.info.sensorLocation = std::string(trimTrailingBlanks(location));
    record.info.comment = fieldText(reinterpret_cast<const char*>(h + kComment), kCommentChars);

    if (word(h, kEventFlag) != -1) readEvent(h, record);
    addLegacyPicks(record, uword(h, kPPick), uword(h, kSPick), h[kPWeightByte], h[kSWeightByte],
                   word(h, kPickFlags), word(h, kMdDuration));
    if (settings) applySensorDefaults(*settings, station, record);
    return true;
}

void storeSvx3Event(std::uint8_t* h, const EventEntry& e) {
    const EventTime& t = e.originTime;
    putWord(h, kEventFlag, 0);
    putWord(h, kEventMinute, t.minute);
    putWord(h, kEventSecond, t.second);
    putWord(h, kEventTenths, t.nanoseconds / 100'000'000);
    h[kUtcByte] = 'U';
    h[kEventHourByte] = t.hour;
    h[kEventDayByte] = t.day;
    h[kEventMonthByte] = t.month;
    std::int16_t deg, thou;
    encodeSvx3Angle(e.latitude, deg, thou);
    putWord(h, kEvLatDeg, deg);
    putWord(h, kEvLatThou, thou);
    encodeSvx3Angle(e.longitude, deg, thou);
    putWord(h, kEvLonDeg, deg);
    putWord(h, kEvLonThou, thou);
    const double depth = std::clamp(std::round(e.depth * 10), -32768.0, 32767.0); // nearest tenth of a km
    putWord(h, kDepth, static_cast<int>(std::isfinite(depth) ? depth : 0));
    // The largest magnitude; on equal values the earlier type in this order wins.
    std::string otherType = fieldText(e.magOtherType, sizeof e.magOtherType);
    if (otherType.empty()) otherType = "M";
    const std::pair<int, std::string> mags[] = {{e.magMs, "Ms"}, {e.magMb, "Mb"}, {e.magMw, "Mw"},
                                                {e.magMl, "Ml"}, {e.magMd, "Md"}, {e.magOther, otherType}};
    const auto* best = &mags[0];
    for (const auto& m : mags)
        if (m.first > best->first) best = &m;
    putWord(h, kMagnitude, (best->first + 5) / 10);
    copyToField(reinterpret_cast<char*>(h + kMagType), 4, best->second);
}

HeaderStatus Svx3Reader::readHeader(LoadContext& context, LoadResult& result, std::string& failure) const {
    const auto bytes = context.bytes();
    if (!isSvx3File(bytes)) return HeaderStatus::NotThisFormat;
    result.kind = kKindSvx4;
    result.subKind = SubKind::Type3;
    LoadedChannel channel;
    if (!svx3HeaderToRecord(bytes, context.path(), &context.settings(), channel.record)) {
        failure = format("Invalid sample rate in file %s", context.path().c_str());
        return HeaderStatus::Failed;
    }
    channel.record.fileName = context.path();
    result.commonCount = channel.record.header.sampleCount;
    result.channels.push_back(std::move(channel));
    return HeaderStatus::Ok;
}

bool Svx3Reader::readSamples(LoadContext& context, LoadResult& result, int count) const {
    const auto bytes = context.bytes();
    if (kSvx3DataOffset + static_cast<std::uint64_t>(count) * 2 > bytes.size()) {
        context.report(format("File %s ends before its last sample", context.path().c_str()), false);
        return false;
    }
    const int dc = word(bytes.data() + kSvx3PreambleSize, kDcOffset);
    LoadedChannel& channel = result.channels.front();
    channel.samples.resize(static_cast<std::size_t>(count));
    const std::uint8_t* p = bytes.data() + kSvx3DataOffset;
    for (int i = 0; i < count; ++i)
        channel.samples[i] = readLE<std::int16_t>(p + 2 * i) - dc;
    channel.record.header.sampleCount = count;
    return true;
}

bool attachEventToSvx3File(const std::filesystem::path& path, const AddReport& addReport,
                           Messages& messages) {
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(path, bytes) || !isSvx3File(bytes)) return false;
    EventRecord record;
    if (!svx3HeaderToRecord(bytes, path.string(), nullptr, record)) return false;
    record.fileName = path.string();
    const std::size_t before = record.info.events.size();
    addReport(record);
    const auto& events = record.info.events;
    if (events.empty()) return false;
    // A newly added report is the one to store; otherwise the record's current event.
    std::size_t current = events.size() - 1;
    const int chosen = record.info.currentEvent;
    if (events.size() == before && chosen >= 0 && static_cast<std::size_t>(chosen) < events.size())
        current = static_cast<std::size_t>(chosen);
    std::uint8_t* h = bytes.data() + kSvx3PreambleSize;
    if (word(h, kVersion) == 2) upgradeVersion2(h);
    storeSvx3Event(h, events[current]);
    return commitFile(path, bytes, messages);
}

bool convertSvx3ToSvx4(const std::filesystem::path& source, const std::filesystem::path& target,
                       bool deleteOld, const LoaderSettings& settings, Messages& messages) {
    EventLoader loader(messages, settings);
    LoadRequest request;
    request.fileName = source.string();
    const LoadResult loaded = loader.load(request);
    if (!loaded.ok || loaded.subKind != SubKind::Type3) return false;
    const LoadedChannel& channel = loaded.channels.front();
    WriterOptions options;
    const double lo = channel.record.header.dataMin, hi = channel.record.header.dataMax;
    options.sampleType = lo < -32768 || hi > 32767 ? 1 : 0;
    EventRecord record = channel.record;
    record.fileName.clear(); // the old file is not a short archive name to be replaced by the writer
    if (!writeSvx4File(target, {&record, channel.samples, 0}, options, messages)) return false;
    std::error_code ec;
    if (deleteOld && !std::filesystem::equivalent(source, target, ec)) std::filesystem::remove(source, ec);
    return true;
}

std::filesystem::path svx3LongName(const std::filesystem::path& path, const EventTime& start) {
    const std::string name =
        format("%02d%02d%02d.%02d%02d%02d.%s.svx", start.year % 100, int{start.month}, int{start.day},
               int{start.hour}, int{start.minute}, int{start.second}, extensionOf(path).c_str());
    return path.parent_path() / toLower(name);
}

bool renameSvx3ToLongForm(const std::filesystem::path& path, std::filesystem::path& renamed) {
    std::vector<std::uint8_t> bytes;
    EventRecord record;
    if (!readWholeFile(path, bytes, 1u << 30) || !svx3HeaderToRecord(bytes, path.string(), nullptr, record))
        return false;
    renamed = svx3LongName(path, record.header.startTime);
    std::error_code ec;
    // Never replace another file that already has the new name.
    if (std::filesystem::exists(renamed, ec) && !std::filesystem::equivalent(path, renamed, ec)) return false;
    std::filesystem::rename(path, renamed, ec);
    return !ec;
}

} // namespace tlx
