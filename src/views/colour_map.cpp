#include "views/colour_map.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tlx::views {
namespace {

// viridis by Nathaniel J. Smith, Stefan van der Walt and Eric Firing (CC0): every 16th entry of its
// 256-entry table (0, 16, …, 240, 255), as published; see data/SOURCES.md.
constexpr std::array<std::uint32_t, 17> kStops = {
    0x440154, 0x48186a, 0x472d7b, 0x424086, 0x3b528b, 0x33638d, 0x2c728e, 0x26828e, 0x21918c,
    0x1fa088, 0x28ae80, 0x3fbc73, 0x5ec962, 0x84d44b, 0xaddc30, 0xd8e219, 0xfde725,
};

int channel(std::uint32_t c, int shift) {
    return static_cast<int>((c >> shift) & 0xff);
}

Rgb interpolate(double fraction) {
    const double t = std::clamp(fraction, 0.0, 1.0) * (kStops.size() - 1);
    const std::size_t i = std::min(static_cast<std::size_t>(t), kStops.size() - 2);
    const double w = t - static_cast<double>(i);
    auto mix = [&](int shift) {
        return static_cast<int>(
            std::lround(channel(kStops[i], shift) * (1 - w) + channel(kStops[i + 1], shift) * w));
    };
    return {mix(16), mix(8), mix(0)};
}

const std::array<std::uint32_t, 256>& table() {
    static const std::array<std::uint32_t, 256> t = [] {
        std::array<std::uint32_t, 256> out{};
        for (int i = 0; i < 256; ++i) {
            const Rgb c = interpolate(i / 255.0);
            out[static_cast<std::size_t>(i)] = 0xff000000u | static_cast<std::uint32_t>(c.r) << 16 |
                                               static_cast<std::uint32_t>(c.g) << 8 |
                                               static_cast<std::uint32_t>(c.b);
        }
        return out;
    }();
    return t;
}

} // namespace

Rgb viridis(double fraction) {
    return interpolate(fraction);
}

std::uint32_t viridisArgb(int index) {
    return table()[static_cast<std::size_t>(std::clamp(index, 0, 255))];
}

} // namespace tlx::views
