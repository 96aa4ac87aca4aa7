#include "record/steim.h"

#include "core/byte_order.h"
#include "core/text.h"

namespace tlx {
namespace {

constexpr std::size_t kFrameBytes = 64;
constexpr int kInvalid = -1;

inline std::uint32_t word(const std::uint8_t* p, bool bigEndian) {
    return bigEndian ? readBE<std::uint32_t>(p) : readLE<std::uint32_t>(p);
}

// Splits the low count*bits bits of v into `count` signed fields, most significant first.
template <int count, int bits> inline int fields(std::uint32_t v, std::int32_t* d) {
    constexpr std::uint32_t mask = (bits == 32) ? 0xFFFFFFFFu : ((1u << bits) - 1u);
    constexpr std::uint32_t sign = 1u << (bits - 1);
    for (int i = 0; i < count; ++i) {
        const std::uint32_t f = (v >> ((count - 1 - i) * bits)) & mask;
        d[i] = static_cast<std::int32_t>((f ^ sign) - sign);
    }
    return count;
}

// Four 8-bit differences keep their stored byte order whatever the word order.
inline int bytesOf(const std::uint8_t* p, std::int32_t* d) {
    for (int i = 0; i < 4; ++i)
        d[i] = static_cast<std::int8_t>(p[i]);
    return 4;
}

// The differences of one Steim1 data word; `code` is its 2-bit code (1..3).
inline int steim1Word(int code, const std::uint8_t* p, bool bigEndian, std::int32_t* d) {
    switch (code) {
    case 1:
        return bytesOf(p, d);
    case 2:
        d[0] = readOrdered<std::int16_t>(p, bigEndian);
        d[1] = readOrdered<std::int16_t>(p + 2, bigEndian);
        return 2;
    default:
        d[0] = readOrdered<std::int32_t>(p, bigEndian);
        return 1;
    }
}

// The differences of one Steim2 data word, or kInvalid for a reserved sub-code.
inline int steim2Word(int code, const std::uint8_t* p, bool bigEndian, std::int32_t* d) {
    if (code == 1) return bytesOf(p, d);
    const std::uint32_t v = word(p, bigEndian);
    const unsigned dnib = v >> 30;
    if (code == 2) {
        switch (dnib) {
        case 1:
            return fields<1, 30>(v, d);
        case 2:
            return fields<2, 15>(v, d);
        case 3:
            return fields<3, 10>(v, d);
        default:
            return kInvalid;
        }
    }
    switch (dnib) {
    case 0:
        return fields<5, 6>(v, d);
    case 1:
        return fields<6, 5>(v, d);
    case 2:
        return fields<7, 4>(v, d);
    default:
        return kInvalid;
    }
}

inline std::int32_t wrappingAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

template <int level>
SteimResult decode(const std::uint8_t* frames, std::size_t bytes, bool bigEndian, int expected,
                   std::int32_t* out, std::size_t capacity) {
    SteimResult r;
    if (expected < 0 || static_cast<std::size_t>(expected) > capacity) {
        r.error = format("Steim sample count %d exceeds the buffer", expected);
        return r;
    }
    if (expected == 0) {
        r.ok = true;
        return r;
    }
    const std::size_t frameCount = bytes / kFrameBytes;
    if (frameCount == 0) {
        r.error = "no Steim frames";
        return r;
    }
    // Sample 0 is X0; the record's first difference refers to the previous record and is skipped.
    std::int32_t last = static_cast<std::int32_t>(word(frames + 4, bigEndian));
    r.xn = static_cast<std::int32_t>(word(frames + 8, bigEndian));
    out[0] = last;
    int n = 1;
    bool skipFirst = true;
    std::int32_t d[8];
    for (std::size_t f = 0; f < frameCount && n < expected; ++f) {
        const std::uint8_t* frame = frames + f * kFrameBytes;
        const std::uint32_t codes = word(frame, bigEndian);
        for (int w = (f == 0) ? 3 : 1; w < 16; ++w) {
            const int code = static_cast<int>((codes >> (30 - 2 * w)) & 3u);
            if (code == 0) continue;
            const int k = level == 1 ? steim1Word(code, frame + 4 * w, bigEndian, d)
                                     : steim2Word(code, frame + 4 * w, bigEndian, d);
            if (k == kInvalid) {
                r.count = n;
                r.error =
                    format("invalid ck, dnib, fn, wn = %d, %d, %d, %d", code,
                           static_cast<int>(word(frame + 4 * w, bigEndian) >> 30), static_cast<int>(f), w);
                return r;
            }
            int i = skipFirst ? 1 : 0;
            skipFirst = false;
            if (n + (k - i) <= expected) {
                for (; i < k; ++i)
                    out[n++] = last = wrappingAdd(last, d[i]);
            } else {
                for (; i < k && n < expected; ++i)
                    out[n++] = last = wrappingAdd(last, d[i]);
            }
            if (n >= expected) break;
        }
    }
    r.count = n;
    r.lastValue = last;
    if (n != expected) {
        r.error = format("Steim frames hold %d of %d samples", n, expected);
        return r;
    }
    if (last != r.xn) {
        r.integrityMismatch = true;
        r.error =
            level == 1
                ? format("%s, last_data=%d, xn=%d\n", "Data integrity for STEIM1 data frame", last, r.xn)
                : format("Data integrity for STEIM2 data frame last_data=%d, xn=%d\n", last, r.xn);
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace

SteimResult decodeSteim1(const std::uint8_t* frames, std::size_t bytes, bool bigEndian, int expected,
                         std::int32_t* out, std::size_t capacity) {
    return decode<1>(frames, bytes, bigEndian, expected, out, capacity);
}

SteimResult decodeSteim2(const std::uint8_t* frames, std::size_t bytes, bool bigEndian, int expected,
                         std::int32_t* out, std::size_t capacity) {
    return decode<2>(frames, bytes, bigEndian, expected, out, capacity);
}

} // namespace tlx
