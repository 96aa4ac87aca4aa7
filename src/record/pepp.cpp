#include "record/pepp.h"

#include "core/byte_order.h"
#include "core/text.h"
#include "record/svx4_format.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace tlx {
namespace {

constexpr char kPeppMagic[] = "PEPP_HVN_02.";
constexpr std::size_t kMultiPrefix = 4;  // "PEPP"
constexpr std::size_t kTracePrefix = 32; // bytes before each trace header
constexpr std::size_t kMarkerSize = 4;
constexpr float kUndefined = -12345.0f;

std::int16_t i16(const std::uint8_t* h, std::size_t o) {
    return readLE<std::int16_t>(h + o);
}
std::int32_t i32(const std::uint8_t* h, std::size_t o) {
    return readLE<std::int32_t>(h + o);
}
float f32(const std::uint8_t* h, std::size_t o) {
    return readLE<float>(h + o);
}

bool within(double v, double lo, double hi) {
    return v >= lo && v <= hi;
}

bool headerCheck(const std::uint8_t* h) {
    if (std::memcmp(h + 2, kPeppMagic, 12) != 0) return false;
    const double seconds = f32(h, 29), sps = f32(h, 41);
    return within(i16(h, 17), 1960, 2200) && within(i16(h, 19), 1, 12) && within(i16(h, 21), 1, 31) &&
           within(i16(h, 25), 0, 24) && within(i16(h, 27), 0, 60) && within(std::floor(seconds), 0, 60) &&
           within(i32(h, 45), 0, kMaxSampleCount) && sps > 0 && sps <= 1'000'000;
}

// Text up to its terminator within the field, blanks around it removed.
std::string text(const std::uint8_t* h, std::size_t offset, std::size_t width) {
    return std::string(trim(fieldText(reinterpret_cast<const char*>(h + offset), width)));
}

double finiteOr(float v, double fallback) {
    return std::isfinite(v) ? v : fallback;
}

EventTime timeFrom(int year, int month, int day, int hour, int minute, double seconds) {
    EventTime t{};
    t.year = static_cast<std::uint16_t>(year);
    t.month = static_cast<std::uint8_t>(month);
    t.day = static_cast<std::uint8_t>(day);
    t.hour = 0;
    // Hours, minutes and the rounded seconds are added so that a carry reaches the date.
    const double ms = std::round(seconds * 1000.0);
    return addSeconds(t, hour * 3600.0 + minute * 60.0 + std::floor(ms / 1000.0) +
                             std::fmod(ms, 1000.0) / 1000.0);
}

void readEvent(const std::uint8_t* h, EventRecord& record) {
    const int year = i16(h, 184), month = i16(h, 186), day = i16(h, 188), hour = i16(h, 192),
              minute = i16(h, 194);
    const float second = f32(h, 196), lat = f32(h, 200), lon = f32(h, 204), depth = f32(h, 208);
    if (year == -12345 || lat == kUndefined || lon == kUndefined || depth == kUndefined) return;
    if (!within(year, 1, 9999) || !within(month, 1, 12) || !within(day, 1, 31) || !within(hour, 0, 24) ||
        !within(minute, 0, 60) || !(second >= 0 && second <= 61) || !std::isfinite(lat) ||
        !std::isfinite(lon) || !std::isfinite(depth))
        return;
    EventEntry e{};
    e.originTime = timeFrom(year, month, day, hour, minute, 0);
    e.originTime = addSeconds(e.originTime, second);
    e.latitude = lat;
    e.longitude = lon;
    e.depth = depth;
    std::int16_t* const mags[] = {&e.magMs, &e.magMb, &e.magMw, &e.magMl};
    for (int i = 0; i < 4; ++i) {
        const float m = f32(h, 212 + 4 * i);
        if (m > 0 && m < 300) {
            const std::int16_t stored = storedMagnitude(m);
            std::memcpy(mags[i], &stored, sizeof stored);
        }
    }
    const float other = f32(h, 228);
    if (other > 0 && other < 300) setMagnitude(e, other, "M");
    record.addEvent(e);
}

void fillRecord(const std::uint8_t* h, EventRecord& record) {
    ChannelHeader& hd = record.header;
    std::memcpy(hd.magic, kSvx4Magic, 8);
    hd.startTime = timeFrom(i16(h, 17), i16(h, 19), i16(h, 21), i16(h, 25), i16(h, 27), f32(h, 29));
    hd.sps = f32(h, 41);
    hd.sampleCount = i32(h, 45);
    hd.sampleType = 2;
    hd.incident = finiteOr(f32(h, 66), kUnknownValue);
    hd.azimuth = finiteOr(f32(h, 70), kUnknownValue);
    hd.orientation = static_cast<char>(h[74]);
    copyToField(hd.componentName, sizeof hd.componentName, text(h, 75, 3));
    hd.latitude = finiteOr(f32(h, 84), 0);
    hd.longitude = finiteOr(f32(h, 88), 0);
    hd.elevation = i16(h, 92);
    std::string station = text(h, 94, 103 - 94);
    std::erase(station, ' ');
    copyToField(hd.sensorId, sizeof hd.sensorId, station);
    copyToField(hd.network, sizeof hd.network, fieldText(reinterpret_cast<const char*>(h + 103), 6));
    const std::string location = text(h, 112, 157 - 112);
    record.info.sensorLocation = location.empty() ? station : location;
    hd.adBits = i16(h, 157);
    record.info.sensorDescription = text(h, 159, 176 - 159);
    const float s = f32(h, 176);
    // An undefined (or unusable) sensitivity value leaves the sensor unknown.
    if (s != kUndefined && std::isfinite(s) && s != 0) {
        hd.sensitivity = 1.0 / (s * 100.0);
        hd.magCorrection = 0.2 / (2 * std::numbers::pi * s);
        switch (i16(h, 49)) {
        case 6:
            hd.sensorType = 1;
            break;
        case 5:
            hd.sensorType = 2;
            break;
        case 4:
            hd.sensorType = 3;
            break;
        default:
            break;
        }
    }
    readEvent(h, record);
}

} // namespace

bool locatePeppTrace(std::span<const std::uint8_t> bytes, int index, std::size_t& headerOffset) {
    if (bytes.size() < kPeppHeaderSize) return false;
    const bool multi = std::memcmp(bytes.data(), "PEPP", 4) == 0;
    if (!multi) {
        if (index > 0) return false;
        headerOffset = 0;
        return headerCheck(bytes.data());
    }
    std::uint64_t p = kMultiPrefix;
    for (int k = 0; k < index; ++k) {
        p += kTracePrefix;
        if (p + kPeppHeaderSize > bytes.size() || !headerCheck(bytes.data() + p)) return false;
        p += kPeppHeaderSize + static_cast<std::uint64_t>(i32(bytes.data(), p + 45)) * 4;
        if (p + kMarkerSize > bytes.size() || readLE<std::uint32_t>(bytes.data() + p) != kPeppTraceMarker)
            return false;
        p += kMarkerSize;
    }
    p += kTracePrefix;
    if (p + kPeppHeaderSize > bytes.size() || !headerCheck(bytes.data() + p)) return false;
    headerOffset = static_cast<std::size_t>(p);
    return true;
}

HeaderStatus PeppReader::readHeader(LoadContext& context, LoadResult& result, std::string&) const {
    std::size_t offset = 0;
    if (!locatePeppTrace(context.bytes(), traceIndex(context), offset)) return HeaderStatus::NotThisFormat;
    LoadedChannel channel;
    fillRecord(context.bytes().data() + offset, channel.record);
    channel.record.fileName = context.path();
    result.kind = kKindPepp;
    result.commonCount = channel.record.header.sampleCount;
    if (result.commonCount == kMaxSampleCount) context.report("File has too many data points. 0 Lost");
    result.channels.push_back(std::move(channel));
    return HeaderStatus::Ok;
}

bool PeppReader::readHeaderOnly(LoadContext& context, LoadResult& result) const {
    std::string failure;
    if (readHeader(context, result, failure) != HeaderStatus::Ok) return false;
    const auto bytes = context.bytes();
    if (forced_ || std::memcmp(bytes.data(), "PEPP", 4) != 0) return true;
    // One walk through the traces (prefix, header, samples, marker), each step checked against the size.
    std::uint64_t p = kMultiPrefix + kTracePrefix;
    for (;;) {
        p += kPeppHeaderSize + static_cast<std::uint64_t>(std::max(i32(bytes.data(), p + 45), 0)) * 4;
        if (p + kMarkerSize > bytes.size() || readLE<std::uint32_t>(bytes.data() + p) != kPeppTraceMarker)
            break;
        p += kMarkerSize + kTracePrefix;
        if (p + kPeppHeaderSize > bytes.size() || !headerCheck(bytes.data() + p)) break;
        LoadedChannel channel;
        fillRecord(bytes.data() + p, channel.record);
        channel.record.fileName = context.path();
        result.channels.push_back(std::move(channel));
    }
    return true;
}

bool PeppReader::readSamples(LoadContext& context, LoadResult& result, int count) const {
    const auto bytes = context.bytes();
    std::size_t offset = 0;
    if (!locatePeppTrace(bytes, traceIndex(context), offset)) return false;
    const std::uint64_t start = offset + kPeppHeaderSize;
    if (start + static_cast<std::uint64_t>(count) * 4 > bytes.size()) {
        context.report(format("File %s ends before its last sample", context.path().c_str()), false);
        return false;
    }
    LoadedChannel& channel = result.channels.front();
    channel.samples.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const float v = readLE<float>(bytes.data() + start + 4 * static_cast<std::size_t>(i));
        channel.samples[i] = std::isfinite(v) ? v : 0.0;
    }
    channel.record.header.sampleCount = count;
    return true;
}

} // namespace tlx
