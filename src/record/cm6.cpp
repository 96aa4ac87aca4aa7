#include "record/cm6.h"

#include <array>
#include <cstdlib>

namespace tlx {
namespace {

constexpr char kAlphabet[] = "+-0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kContinue = 0x20;
constexpr int kSign = 0x10;

constexpr std::array<std::int8_t, 256> makeIndex() {
    std::array<std::int8_t, 256> index{};
    for (auto& v : index)
        v = -1;
    for (int i = 0; i < 64; ++i)
        index[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    return index;
}
constexpr std::array<std::int8_t, 256> kIndex = makeIndex();

constexpr std::int64_t kModulo = 100'000'000;

} // namespace

void Cm6Decoder::feed(std::string_view text, std::vector<std::int32_t>& out, std::size_t limit) {
    for (const char c : text) {
        const int v = kIndex[static_cast<unsigned char>(c)];
        if (v < 0) continue;
        if (!inNumber_) {
            negative_ = (v & kSign) != 0;
            value_ = static_cast<std::uint32_t>(v & 0x0F);
        } else {
            value_ = (value_ << 5) | static_cast<std::uint32_t>(v & 0x1F); // wraps like 32-bit code
        }
        inNumber_ = (v & kContinue) != 0;
        if (inNumber_) continue;
        if (out.size() < limit) {
            const std::uint32_t signedValue = negative_ ? 0u - value_ : value_;
            out.push_back(static_cast<std::int32_t>(signedValue));
        }
    }
}

std::string encodeCm6(const std::vector<std::int32_t>& values) {
    std::string out;
    std::size_t column = 0;
    const auto put = [&](int code) {
        out += kAlphabet[code];
        if (++column == 80) {
            out += '\n';
            column = 0;
        }
    };
    for (const std::int32_t value : values) {
        std::uint32_t a =
            value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
        const int sign = value < 0 ? kSign : 0;
        if (a <= 0x0F) {
            put(static_cast<int>(a) | sign);
            continue;
        }
        // Five-bit groups from the least significant; the first character carries four bits.
        std::array<int, 8> groups{};
        int n = 0;
        while (a > 0x0F) {
            groups[n++] = static_cast<int>(a & 0x1F);
            a >>= 5;
        }
        put(static_cast<int>(a) | sign | kContinue);
        for (int i = n - 1; i >= 0; --i)
            put(groups[i] | (i > 0 ? kContinue : 0));
    }
    if (column != 0) out += '\n';
    return out;
}

void integrate(std::vector<std::int32_t>& values) {
    std::uint32_t sum = 0;
    for (std::int32_t& v : values) {
        sum += static_cast<std::uint32_t>(v);
        v = static_cast<std::int32_t>(sum);
    }
}

std::vector<std::int32_t> secondDifferences(const std::vector<std::int32_t>& values) {
    std::vector<std::int32_t> out(values.size());
    std::uint32_t prev = 0, prevDiff = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::uint32_t v = static_cast<std::uint32_t>(values[i]);
        const std::uint32_t diff = v - prev;
        out[i] = static_cast<std::int32_t>(diff - prevDiff);
        prev = v;
        prevDiff = diff;
    }
    return out;
}

std::int64_t chk2Checksum(const std::vector<std::int32_t>& values) {
    std::int64_t sum = 0;
    for (const std::int32_t v : values) {
        sum += v % kModulo;
        sum %= kModulo; // C++ remainder keeps the sign, as the format's reference code does
    }
    return sum;
}

bool chk2Matches(std::int64_t stored, std::int64_t computed) {
    return stored == computed || stored == std::llabs(computed);
}

} // namespace tlx
