#include "support/svx4_builder.h"

#include <cmath>
#include <cstring>

namespace tlx::test {
namespace {

class Bytes {
  public:
    explicit Bytes(std::size_t size) : b_(size, 0) {}
    template <typename T> void put(std::size_t offset, T value) {
        unsigned char raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T)); // the test machines are little-endian, as the format
        for (std::size_t i = 0; i < sizeof(T); ++i)
            b_.at(offset + i) = raw[i];
    }
    void text(std::size_t offset, const std::string& s, std::size_t width) {
        for (std::size_t i = 0; i < width && i < s.size(); ++i)
            b_.at(offset + i) = static_cast<std::uint8_t>(s[i]);
    }
    std::vector<std::uint8_t>& raw() { return b_; }

  private:
    std::vector<std::uint8_t> b_;
};

void putTime(Bytes& b, std::size_t at, const TimeSpec& t) {
    b.put<std::uint16_t>(at, static_cast<std::uint16_t>(t.year));
    b.put<std::uint8_t>(at + 2, static_cast<std::uint8_t>(t.month));
    b.put<std::uint8_t>(at + 3, static_cast<std::uint8_t>(t.day));
    b.put<std::uint8_t>(at + 4, static_cast<std::uint8_t>(t.hour));
    b.put<std::uint8_t>(at + 5, static_cast<std::uint8_t>(t.minute));
    b.put<std::uint8_t>(at + 6, static_cast<std::uint8_t>(t.second));
    b.put<std::int32_t>(at + 8, t.nanoseconds);
}

int width(int type) {
    return type == 0 ? 2 : (type == 1 || type == 2) ? 4 : 8;
}

double encoded(int type, double v) {
    switch (type) {
    case 0:
        return static_cast<std::int16_t>(v);
    case 1:
        return static_cast<std::int32_t>(v);
    case 2:
        return static_cast<float>(v);
    default:
        return v;
    }
}

} // namespace

std::uint16_t bitwiseCrc16(const std::uint8_t* data, std::size_t size) {
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<std::uint16_t>(data[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                                 : static_cast<std::uint16_t>(crc << 1);
    }
    return crc;
}

std::vector<std::uint8_t> buildSvx4(const Svx4Spec& s) {
    std::vector<std::uint8_t> var;
    for (const BlockSpec& block : s.blocks) {
        const std::size_t at = var.size();
        var.resize(at + 6 + block.data.size());
        var[at] = block.mark;
        var[at + 1] = block.type;
        const std::int32_t length =
            block.lengthOverride.value_or(static_cast<std::int32_t>(block.data.size()));
        std::memcpy(&var[at + 2], &length, 4);
        if (!block.data.empty()) std::memcpy(&var[at + 6], block.data.data(), block.data.size());
    }
    if (!s.blocks.empty()) var.insert(var.end(), {0x55, 0, 0, 0, 0, 0});

    const int w = width(s.sampleType);
    const std::size_t n = s.samples.size();
    Bytes b(154 + var.size() + n * w + (s.crc ? 2 : 0));
    b.text(0, s.magic, 8);
    b.put<std::int32_t>(8, s.varHeaderLength.value_or(static_cast<std::int32_t>(var.size())));
    putTime(b, 12, s.start);
    b.put<double>(24, s.startTimeOffset);
    b.put<double>(32, s.sps);
    b.put<std::int32_t>(40, s.sampleCount.value_or(static_cast<std::int32_t>(n)));
    b.put<std::int32_t>(44, s.headerFlags);
    b.text(48, s.timeRefType, 3);
    b.put<char>(51, s.lockIndicator);
    b.put<std::uint8_t>(52, s.sampleType);
    b.put<double>(54, s.incident);
    b.put<double>(62, s.azimuth);
    b.put<char>(70, s.orientation);
    b.put<std::uint8_t>(71, s.sensorType);
    b.put<double>(72, s.latitude);
    b.put<double>(80, s.longitude);
    b.put<double>(88, s.elevation);
    b.text(96, s.sensorId, 6);
    b.text(102, s.componentName, 4);
    b.text(106, s.network, 6);
    b.put<double>(112, s.sensitivity);
    b.put<double>(120, s.magCorrection);
    b.put<std::int16_t>(128, s.adBits);
    double lo = 0, hi = 0, sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double v = encoded(s.sampleType, s.samples[i]);
        lo = i ? std::min(lo, v) : v;
        hi = i ? std::max(hi, v) : v;
        sum += v;
    }
    b.put<double>(130, lo);
    b.put<double>(138, hi);
    b.put<double>(146, n ? sum / static_cast<double>(n) : 0.0);
    if (!var.empty()) std::memcpy(b.raw().data() + 154, var.data(), var.size());
    const std::size_t data = 154 + var.size();
    for (std::size_t i = 0; i < n; ++i) {
        const double v = s.samples[i];
        switch (s.sampleType) {
        case 0:
            b.put<std::int16_t>(data + i * 2, static_cast<std::int16_t>(v));
            break;
        case 1:
            b.put<std::int32_t>(data + i * 4, static_cast<std::int32_t>(v));
            break;
        case 2:
            b.put<float>(data + i * 4, static_cast<float>(v));
            break;
        default:
            b.put<double>(data + i * 8, v);
            break;
        }
    }
    if (s.crc) {
        const std::size_t end = data + n * w;
        b.put<std::uint16_t>(end, s.crcOverride.value_or(bitwiseCrc16(b.raw().data(), end)));
    }
    return b.raw();
}

std::vector<std::uint8_t> buildSvxVolume(const std::vector<Svx4Spec>& channels,
                                         std::optional<std::uint16_t> count) {
    std::vector<std::uint8_t> out = {'S', 'V', 'X', 'V', 'O', 'L', 'U', 'M', 'E', '1', 0, 0};
    const std::uint16_t n = count.value_or(static_cast<std::uint16_t>(channels.size()));
    std::memcpy(&out[10], &n, 2);
    for (const Svx4Spec& c : channels) {
        const std::vector<std::uint8_t> image = buildSvx4(c);
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

BlockSpec textBlock(std::uint8_t type, const std::string& text) {
    BlockSpec block{type, std::vector<std::uint8_t>(text.begin(), text.end())};
    block.data.push_back(0);
    return block;
}

BlockSpec eventBlock(const TimeSpec& origin, double lat, double lon, double depth, std::int16_t magMl,
                     std::int16_t magMb, const std::string& source) {
    Bytes b(62);
    putTime(b, 0, origin);
    b.put<double>(12, lat);
    b.put<double>(20, lon);
    b.put<double>(28, depth);
    b.put<std::int16_t>(38, magMb);
    b.put<std::int16_t>(42, magMl);
    b.put<std::uint8_t>(52, 1);
    b.put<std::uint8_t>(53, 'B');
    b.put<std::uint16_t>(54, 0xBEEF);
    b.text(56, source, 6);
    return {4, b.raw()};
}

BlockSpec pickBlock(const TimeSpec& time, const std::string& phase, std::uint16_t flags, std::int16_t weight,
                    std::int16_t depth) {
    Bytes b(42);
    putTime(b, 0, time);
    b.text(12, phase, 8);
    b.put<std::uint16_t>(20, flags);
    b.put<std::int16_t>(22, weight);
    b.text(24, "manual", 16);
    b.put<std::int16_t>(40, depth);
    return {5, b.raw()};
}

BlockSpec historyBlock(const std::vector<std::string>& lines) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i)
        joined += (i ? "," : "") + lines[i];
    return textBlock(6, joined);
}

std::vector<double> rampSignal(std::size_t count, double amplitude) {
    std::vector<double> v(count);
    for (std::size_t i = 0; i < count; ++i)
        v[i] = std::round(amplitude * std::sin(0.05 * static_cast<double>(i)) + (i % 7));
    return v;
}

} // namespace tlx::test
