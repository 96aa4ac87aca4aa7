#include "mseed_builder.h"

#include "core/byte_order.h"
#include "core/civil_time.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace tlx::test {
namespace {

constexpr int kDataOffset = 64;

template <typename T> void put(std::vector<std::uint8_t>& b, std::size_t at, T v, bool be) {
    if (be)
        writeBE<T>(b.data() + at, v);
    else
        writeLE<T>(b.data() + at, v);
}

void padCode(std::vector<std::uint8_t>& b, std::size_t at, const std::string& s, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        b[at + i] = i < s.size() ? static_cast<std::uint8_t>(s[i]) : ' ';
}

} // namespace

int capacity(const MseedSpec& s) {
    const int bytes = (1 << s.lengthExponent) - kDataOffset;
    if (s.encoding == 1) return bytes / 2;
    const int frames = bytes / 64;
    return frames * 15 - 2;
}

std::vector<std::uint8_t> buildRecord(const MseedSpec& s) {
    const std::size_t length = std::size_t{1} << s.lengthExponent;
    if (static_cast<int>(s.samples.size()) > capacity(s)) throw std::runtime_error("too many samples");
    std::vector<std::uint8_t> b(length, 0);
    const bool be = s.bigEndian;
    std::memcpy(b.data(), "000001", 6);
    b[6] = static_cast<std::uint8_t>(s.quality);
    b[7] = ' ';
    padCode(b, 8, s.station, 5);
    padCode(b, 13, s.location, 2);
    padCode(b, 15, s.channel, 3);
    padCode(b, 18, s.network, 2);
    put<std::uint16_t>(b, 20, static_cast<std::uint16_t>(s.year), be);
    put<std::uint16_t>(b, 22, static_cast<std::uint16_t>(s.day), be);
    b[24] = static_cast<std::uint8_t>(s.hour);
    b[25] = static_cast<std::uint8_t>(s.minute);
    b[26] = static_cast<std::uint8_t>(s.second);
    put<std::uint16_t>(b, 28, static_cast<std::uint16_t>(s.fract), be);
    put<std::uint16_t>(b, 30, static_cast<std::uint16_t>(s.samples.size()), be);
    put<std::int16_t>(b, 32, static_cast<std::int16_t>(s.rateFactor), be);
    put<std::int16_t>(b, 34, static_cast<std::int16_t>(s.rateMultiplier), be);
    b[39] = s.withB1000 ? 1 : 0;
    put<std::uint16_t>(b, 44, kDataOffset, be);
    put<std::uint16_t>(b, 46, s.withB1000 ? 48 : 0, be);
    if (s.withB1000) {
        put<std::uint16_t>(b, 48, 1000, be);
        put<std::uint16_t>(b, 50, 0, be);
        b[52] = static_cast<std::uint8_t>(s.encoding);
        b[53] = be ? 1 : 0;
        b[54] = static_cast<std::uint8_t>(s.lengthExponent);
    }
    const std::vector<std::int32_t>& v = s.samples;
    if (s.encoding == 1) {
        for (std::size_t i = 0; i < v.size(); ++i)
            put<std::int16_t>(b, kDataOffset + 2 * i, static_cast<std::int16_t>(v[i]), be);
        return b;
    }
    if (v.empty()) return b;
    // Frame 0 words 1 and 2 hold X0 and Xn; every other word one difference.
    const bool steim2 = s.encoding == 11;
    std::size_t frame = 0, w = 3;
    std::vector<std::uint32_t> codes((length - kDataOffset) / 64, 0);
    for (std::size_t i = 0; i < v.size(); ++i) {
        const std::int32_t diff = i == 0 ? 0
                                         : static_cast<std::int32_t>(static_cast<std::uint32_t>(v[i]) -
                                                                     static_cast<std::uint32_t>(v[i - 1]));
        if (w == 16) {
            ++frame;
            w = 1;
        }
        const std::size_t at = kDataOffset + frame * 64 + w * 4;
        if (steim2) {
            put<std::uint32_t>(b, at, (1u << 30) | (static_cast<std::uint32_t>(diff) & 0x3FFFFFFFu), be);
            codes[frame] |= 2u << (30 - 2 * w);
        } else {
            put<std::int32_t>(b, at, diff, be);
            codes[frame] |= 3u << (30 - 2 * w);
        }
        ++w;
    }
    for (std::size_t f = 0; f <= frame; ++f)
        put<std::uint32_t>(b, kDataOffset + f * 64, codes[f], be);
    put<std::int32_t>(b, kDataOffset + 4, v.front(), be);
    put<std::int32_t>(b, kDataOffset + 8, v.back() + s.xnAdjust, be);
    return b;
}

std::vector<std::uint8_t> buildRecords(MseedSpec spec, const std::vector<std::int32_t>& samples) {
    std::vector<std::uint8_t> out;
    const std::size_t per = static_cast<std::size_t>(capacity(spec));
    const double rate =
        spec.rateFactor * static_cast<double>(spec.rateMultiplier > 0 ? spec.rateMultiplier : 1);
    std::int64_t startMicros = (daysFromCivil(spec.year, 1, 1) + spec.day - 1) * 86'400'000'000LL +
                               (spec.hour * 3600LL + spec.minute * 60 + spec.second) * 1'000'000 +
                               spec.fract * 100LL;
    for (std::size_t i = 0; i < samples.size(); i += per) {
        MseedSpec r = spec;
        r.samples.assign(samples.begin() + static_cast<std::ptrdiff_t>(i),
                         samples.begin() + static_cast<std::ptrdiff_t>(std::min(samples.size(), i + per)));
        const std::int64_t t = startMicros + static_cast<std::int64_t>(static_cast<double>(i) * 1e6 / rate);
        const CivilTime c = civilFromEpoch(t / 1'000'000);
        r.year = c.year;
        r.day = dayOfYear(c.year, c.month, c.day);
        r.hour = c.hour;
        r.minute = c.minute;
        r.second = c.second;
        r.fract = static_cast<int>((t % 1'000'000) / 100);
        const auto rec = buildRecord(r);
        out.insert(out.end(), rec.begin(), rec.end());
    }
    return out;
}

std::vector<std::int32_t> rampInts(std::size_t n, std::int32_t start, std::int32_t step) {
    std::vector<std::int32_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = start + static_cast<std::int32_t>(i) * step;
    return v;
}

} // namespace tlx::test

namespace tlx::test {

std::string blockette(int type, const std::string& body) {
    char head[16];
    std::snprintf(head, sizeof head, "%03d%04zu", type, body.size() + 7);
    return head + body;
}

std::vector<std::uint8_t> buildSeedVolume(int exponent, const std::vector<ControlRecord>& control,
                                          const std::vector<std::vector<std::uint8_t>>& dataRecords) {
    const std::size_t length = std::size_t{1} << exponent;
    std::vector<std::uint8_t> out;
    int sequence = 1;
    const auto startRecord = [&](char type, bool continued) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%06d%c%c", sequence++, type, continued ? '*' : ' ');
        const std::size_t at = out.size();
        out.resize(at + length, ' ');
        std::memcpy(out.data() + at, prefix, 8);
        return at + 8;
    };
    for (const ControlRecord& c : control) {
        std::size_t pos = startRecord(c.type, false);
        for (const std::string& b : c.blockettes) {
            for (char ch : b) {
                if (pos == out.size()) pos = startRecord(c.type, true);
                out[pos++] = static_cast<std::uint8_t>(ch);
            }
        }
    }
    for (const auto& d : dataRecords) {
        const std::size_t at = out.size();
        out.resize(at + length, 0);
        std::memcpy(out.data() + at, d.data(), std::min(length, d.size()));
        char seq[8];
        std::snprintf(seq, sizeof seq, "%06d", sequence++);
        std::memcpy(out.data() + at, seq, 6);
    }
    return out;
}

} // namespace tlx::test
