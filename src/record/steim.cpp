#include "record/steim.h"

#include "core/byte_order.h"
#include "core/text.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

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

namespace {

struct WordKind {
    int count, bits;
    std::uint32_t code, dnib;
};
// Densest first: 7 x 4, 6 x 5, 5 x 6, 4 x 8 bits, 3 x 10, 2 x 15, 1 x 30.
constexpr WordKind kSteim2Words[] = {{7, 4, 3, 2},  {6, 5, 3, 1},  {5, 6, 3, 0}, {4, 8, 1, 0},
                                     {3, 10, 2, 3}, {2, 15, 2, 2}, {1, 30, 2, 1}};

bool fitsBits(std::int64_t d, int bits) {
    const std::int64_t limit = std::int64_t{1} << (bits - 1);
    return d >= -limit && d < limit;
}

// Bits a signed difference needs (two's complement), at most 31 for "too wide".
int bitsNeeded(std::int64_t d) {
    if (!fitsBits(d, 30)) return 31;
    const std::uint32_t magnitude = static_cast<std::uint32_t>(d < 0 ? ~d : d);
    return 33 - std::countl_zero(magnitude);
}

} // namespace

SteimPacked encodeSteim2(std::span<const std::int32_t> values, std::int32_t previous, std::uint8_t* frames,
                         int frameCount) {
    SteimPacked r;
    if (frameCount <= 0) return r;
    std::memset(frames, 0, static_cast<std::size_t>(frameCount) * kFrameBytes);
    const std::size_t n = values.size();
    if (n == 0) return r;
    // The first difference is only a courtesy to readers; one too large to pack becomes 0.
    std::int64_t first = static_cast<std::int64_t>(values[0]) - previous;
    if (!fitsBits(first, 30)) first = 0;
    const auto diff = [&](std::size_t i) {
        return i == 0 ? first : static_cast<std::int64_t>(values[i]) - values[i - 1];
    };
    // The widths of the differences the frames can take at most (7 a word), computed once.
    const std::size_t horizon = std::min(n, static_cast<std::size_t>(frameCount) * 15 * 7);
    std::vector<std::uint8_t> width(horizon);
    for (std::size_t j = 0; j < horizon; ++j)
        width[j] = static_cast<std::uint8_t>(bitsNeeded(diff(j)));
    std::size_t i = 0;
    int f = 0;
    for (; f < frameCount && i < horizon && r.error.empty(); ++f) {
        std::uint8_t* frame = frames + static_cast<std::size_t>(f) * kFrameBytes;
        std::uint32_t codes = 0;
        for (int w = f == 0 ? 3 : 1; w < 16 && i < horizon; ++w) {
            // The widest of the next 1..7 differences decides the densest word they fit.
            int widest[7];
            const std::size_t ahead = std::min<std::size_t>(7, horizon - i);
            for (std::size_t j = 0; j < ahead; ++j)
                widest[j] = std::max<int>(j ? widest[j - 1] : 0, width[i + j]);
            const WordKind* kind = nullptr;
            for (const WordKind& k : kSteim2Words)
                if (static_cast<std::size_t>(k.count) <= ahead && widest[k.count - 1] <= k.bits) {
                    kind = &k;
                    break;
                }
            if (!kind) {
                r.error = format("difference at sample %zu exceeds 30 bits", i);
                break;
            }
            std::uint32_t word = 0;
            if (kind->code == 1) {
                for (int j = 0; j < 4; ++j)
                    word |= (static_cast<std::uint32_t>(diff(i + static_cast<std::size_t>(j))) & 0xFFu)
                            << (24 - 8 * j);
            } else {
                word = kind->dnib << 30;
                const std::uint32_t mask = (1u << kind->bits) - 1;
                for (int j = 0; j < kind->count; ++j)
                    word |= (static_cast<std::uint32_t>(diff(i + static_cast<std::size_t>(j))) & mask)
                            << (kind->bits * (kind->count - 1 - j));
            }
            writeBE<std::uint32_t>(frame + 4 * w, word);
            codes |= kind->code << (30 - 2 * w);
            i += static_cast<std::size_t>(kind->count);
        }
        writeBE<std::uint32_t>(frame, codes);
    }
    r.count = i;
    r.frames = f;
    if (i > 0) {
        writeBE<std::int32_t>(frames + 4, values[0]);
        writeBE<std::int32_t>(frames + 8, values[i - 1]);
    }
    return r;
}

} // namespace tlx
