#include "format_fixtures.h"

#include <cstring>

namespace tlx::test {

void put16(std::vector<std::uint8_t>& b, std::size_t at, int v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(u >> (8 * i));
}

void putFloat(std::vector<std::uint8_t>& b, std::size_t at, float v) {
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    put32(b, at, static_cast<std::int32_t>(u));
}

void putText(std::vector<std::uint8_t>& b, std::size_t at, const std::string& text) {
    std::memcpy(b.data() + at, text.data(), text.size());
}

std::vector<std::uint8_t> buildSvx3(const Svx3Spec& s) {
    const auto count = static_cast<std::int32_t>(s.samples.size());
    std::vector<std::uint8_t> b(207 + 2 * s.samples.size(), 0);
    b[0] = 0xFD;
    put32(b, 1, count);
    put16(b, 5, count < 65001 ? count * 2 + 100 : 0);
    const std::size_t h = kSvx3Header;
    put16(b, h + 0, s.version);
    const int start[] = {s.year, s.month, s.day, s.hour, s.minute, s.second, s.tenths};
    for (int i = 0; i < 7; ++i)
        put16(b, h + 2 + 2 * i, start[i]);
    const int end[] = {s.endHour, s.endMinute, s.endSecond, s.endTenths};
    for (int i = 0; i < 4; ++i)
        put16(b, h + 16 + 2 * i, end[i]);
    put16(b, h + 24, s.countInPreamble || count >= 65001 ? 0xFFFF : count + 100);
    put16(b, h + 26, s.dcOffset);
    put16(b, h + 32, s.orientation);
    put16(b, h + 34, s.latDeg);
    put16(b, h + 36, s.latThou);
    put16(b, h + 38, s.lonDeg);
    put16(b, h + 40, s.lonThou);
    put16(b, h + 42, -1);
    for (std::size_t i = 0; i < s.location.size() && i < 15; ++i)
        put16(b, h + 50 + 2 * i, s.location[i]);
    put16(b, h + 88, s.adBits);
    if (s.version == 2) {
        for (std::size_t i = 0; i < s.comment.size() && i < 60; ++i)
            put16(b, h + 80 + 2 * i, s.comment[i]);
    } else {
        putText(b, h + 140, s.comment.substr(0, 60));
    }
    for (std::size_t i = 0; i < s.samples.size(); ++i)
        put16(b, 207 + 2 * i, s.samples[i]);
    return b;
}

std::vector<std::uint8_t> buildPeppTrace(const PeppSpec& s) {
    std::vector<std::uint8_t> b(641 + 4 * s.samples.size(), 0);
    putText(b, 2, "PEPP_HVN_02.");
    put16(b, 17, s.year);
    put16(b, 19, s.month);
    put16(b, 21, s.day);
    put16(b, 25, s.hour);
    put16(b, 27, s.minute);
    putFloat(b, 29, s.seconds);
    putFloat(b, 41, s.sps);
    put32(b, 45, s.countOverride >= 0 ? s.countOverride : static_cast<std::int32_t>(s.samples.size()));
    put16(b, 49, s.response);
    putFloat(b, 66, s.orientation == 'Z' ? 0.0f : 90.0f);
    putFloat(b, 70, 0.0f);
    b[74] = static_cast<std::uint8_t>(s.orientation);
    putText(b, 75, s.component.substr(0, 3));
    putFloat(b, 84, s.latitude);
    putFloat(b, 88, s.longitude);
    put16(b, 92, s.elevation);
    putText(b, 94, s.station);
    putText(b, 103, s.network);
    putText(b, 112, s.location);
    put16(b, 157, 24);
    putText(b, 159, s.description);
    putFloat(b, 176, s.sensitivity);
    put16(b, 184, s.eventYear);
    put16(b, 186, 6);
    put16(b, 188, 15);
    put16(b, 192, 8);
    put16(b, 194, 15);
    putFloat(b, 196, 12.5f);
    putFloat(b, 200, 45.0f);
    putFloat(b, 204, 12.0f);
    putFloat(b, 208, 10.0f);
    putFloat(b, 224, 3.4f); // Ml
    for (std::size_t i = 0; i < s.samples.size(); ++i)
        putFloat(b, 641 + 4 * i, s.samples[i]);
    return b;
}

std::vector<std::uint8_t> buildPeppSingle(const PeppSpec& spec) {
    return buildPeppTrace(spec);
}

std::vector<std::uint8_t> buildPeppMulti(const std::vector<PeppSpec>& traces, std::uint32_t marker) {
    std::vector<std::uint8_t> b = {'P', 'E', 'P', 'P'};
    for (std::size_t k = 0; k < traces.size(); ++k) {
        if (k > 0) {
            const std::size_t at = b.size();
            b.resize(at + 4);
            put32(b, at, static_cast<std::int32_t>(marker));
        }
        b.resize(b.size() + 32, 0);
        const std::vector<std::uint8_t> t = buildPeppTrace(traces[k]);
        b.insert(b.end(), t.begin(), t.end());
    }
    return b;
}

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

LoadResult loadImage(const std::vector<std::uint8_t>& bytes, RecordingMessages& messages,
                     const std::string& path, const LoaderSettings& settings, int forcedKind,
                     int channelIndex) {
    EventLoader loader(messages, settings);
    LoadRequest request;
    request.forcedKind = forcedKind;
    request.channelIndex = channelIndex;
    return loader.loadBytes(bytes, path, request);
}

LoadResult loadText(const std::string& text, RecordingMessages& messages, const LoaderSettings& settings) {
    return loadImage(bytesOf(text), messages, "mem.txt", settings);
}

} // namespace tlx::test
