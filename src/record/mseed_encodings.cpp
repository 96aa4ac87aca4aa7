#include "record/mseed_encodings.h"

#include "core/byte_order.h"
#include "core/text.h"
#include "record/steim.h"

#include <array>
#include <bit>
#include <cstring>

namespace tlx {
namespace {

// Bytes one sample takes in the fixed-width encodings.
std::size_t sampleBytes(int encoding) {
    switch (encoding) {
    case kEncInt16:
    case kEncGeoscope16Exp3:
    case kEncGeoscope16Exp4:
    case kEncCdsn:
    case kEncSro:
    case kEncDwwssn:
        return 2;
    case kEncInt24:
    case kEncGeoscope24:
        return 3;
    case kEncInt32:
    case kEncFloat32:
        return 4;
    case kEncFloat64:
        return 8;
    default:
        return 0;
    }
}

bool fits(int encoding, std::size_t bytes, int expected, std::size_t capacity, DecodeResult& r) {
    const std::size_t width = sampleBytes(encoding);
    if (expected < 0 || static_cast<std::size_t>(expected) > capacity || width == 0 ||
        static_cast<std::size_t>(expected) > bytes / width) {
        r.error =
            format("Encoding %d: data hold %zu of %d samples", encoding, width ? bytes / width : 0, expected);
        return false;
    }
    return true;
}

std::int32_t int24(const std::uint8_t* p, bool bigEndian) {
    const std::uint32_t u = bigEndian ? (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2]
                                      : (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    return static_cast<std::int32_t>(u ^ 0x800000u) - 0x800000;
}

// CDSN: two gain bits (shift 0, 2, 4 or 7) over a 14-bit mantissa offset by 8191.
std::int32_t cdsn(std::uint16_t w) {
    static constexpr int kShift[4] = {0, 2, 4, 7};
    const std::int32_t mantissa = static_cast<std::int32_t>(w & 0x3fff) - 0x1fff;
    return mantissa * (1 << kShift[w >> 14]);
}

// SRO: four gain bits g over a 12-bit two's complement mantissa, value mantissa x 2^(10 - g).
bool sro(std::uint16_t w, std::int32_t& value) {
    const int gain = w >> 12;
    if (gain > 10) return false;
    const std::int32_t mantissa = static_cast<std::int32_t>((w & 0x0fff) ^ 0x800u) - 0x800;
    value = mantissa * (1 << (10 - gain));
    return true;
}

// GEOSCOPE gain-ranged: a 12-bit mantissa offset by 2048, divided by 2 to the exponent above it.
double geoscope16(std::uint16_t w, unsigned exponentMask) {
    static constexpr std::array<double, 16> kScale = [] {
        std::array<double, 16> t{};
        double v = 1;
        for (double& x : t) {
            x = v;
            v /= 2;
        }
        return t;
    }();
    return static_cast<double>(static_cast<int>(w & 0x0fff) - 2048) * kScale[(w >> 12) & exponentMask];
}

// Whole words with the compiler's byte swap (the generic reader swaps byte by byte).
std::uint32_t word32(const std::uint8_t* p, bool bigEndian) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return bigEndian == (std::endian::native == std::endian::big) ? v : __builtin_bswap32(v);
}

std::uint64_t word64(const std::uint8_t* p, bool bigEndian) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return bigEndian == (std::endian::native == std::endian::big) ? v : __builtin_bswap64(v);
}

template <typename F> void each(int n, F f) {
    for (int i = 0; i < n; ++i)
        f(i);
}

} // namespace

bool isIntegerEncoding(int e) {
    return e == kEncInt16 || e == kEncInt24 || e == kEncInt32 || e == kEncSteim1 || e == kEncSteim2 ||
           e == kEncGeoscope24 || e == kEncCdsn || e == kEncSro || e == kEncDwwssn;
}

bool isRealEncoding(int e) {
    return e == kEncFloat32 || e == kEncFloat64 || e == kEncGeoscope16Exp3 || e == kEncGeoscope16Exp4;
}

DecodeResult decodeIntegers(int encoding, const std::uint8_t* data, std::size_t bytes, bool bigEndian,
                            int expected, std::int32_t* out, std::size_t capacity) {
    DecodeResult r;
    if (encoding == kEncSteim1 || encoding == kEncSteim2) {
        const SteimResult s = encoding == kEncSteim1
                                  ? decodeSteim1(data, bytes, bigEndian, expected, out, capacity)
                                  : decodeSteim2(data, bytes, bigEndian, expected, out, capacity);
        r.ok = s.ok;
        r.count = s.count;
        r.integrityMismatch = s.integrityMismatch;
        r.error = s.error;
        return r;
    }
    if (!isIntegerEncoding(encoding)) {
        r.error = format("Encoding %d does not hold integers", encoding);
        return r;
    }
    if (!fits(encoding, bytes, expected, capacity, r)) return r;
    switch (encoding) {
    case kEncInt16:
    case kEncDwwssn:
        each(expected, [&](int i) { out[i] = readOrdered<std::int16_t>(data + 2 * i, bigEndian); });
        break;
    case kEncInt24:
    case kEncGeoscope24:
        each(expected, [&](int i) { out[i] = int24(data + 3 * i, bigEndian); });
        break;
    case kEncInt32:
        each(expected, [&](int i) { out[i] = static_cast<std::int32_t>(word32(data + 4 * i, bigEndian)); });
        break;
    case kEncCdsn:
        each(expected, [&](int i) { out[i] = cdsn(readOrdered<std::uint16_t>(data + 2 * i, bigEndian)); });
        break;
    default: // kEncSro
        for (int i = 0; i < expected; ++i)
            if (!sro(readOrdered<std::uint16_t>(data + 2 * i, bigEndian), out[i])) {
                r.error = format("SRO gain code above 10 at sample %d", i);
                r.count = i;
                return r;
            }
    }
    r.ok = true;
    r.count = expected;
    return r;
}

DecodeResult decodeReals(int encoding, const std::uint8_t* data, std::size_t bytes, bool bigEndian,
                         int expected, double* out, std::size_t capacity) {
    DecodeResult r;
    if (!isRealEncoding(encoding)) {
        r.error = format("Encoding %d does not hold real numbers", encoding);
        return r;
    }
    if (!fits(encoding, bytes, expected, capacity, r)) return r;
    switch (encoding) {
    case kEncFloat32:
        each(expected, [&](int i) { out[i] = std::bit_cast<float>(word32(data + 4 * i, bigEndian)); });
        break;
    case kEncFloat64:
        each(expected, [&](int i) { out[i] = std::bit_cast<double>(word64(data + 8 * i, bigEndian)); });
        break;
    default: { // GEOSCOPE gain-ranged, 3- or 4-bit exponents
        const unsigned mask = encoding == kEncGeoscope16Exp3 ? 0x7u : 0xfu;
        each(expected,
             [&](int i) { out[i] = geoscope16(readOrdered<std::uint16_t>(data + 2 * i, bigEndian), mask); });
    }
    }
    r.ok = true;
    r.count = expected;
    return r;
}

} // namespace tlx
