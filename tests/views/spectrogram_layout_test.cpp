#include "views/spectrogram_layout.h"

#include "views/colour_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tlx::views {
namespace {

TEST(SpectrogramLayout, PixelsShowTheLoudestBinAtItsFrequencyOnBothAxes) {
    // 60 s at 100 samples/s: a 5 Hz sine, and a 20 Hz burst from 30 to 31 s.
    std::vector<double> x(6000);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / 100;
        x[i] = std::sin(2 * std::numbers::pi * 5 * t) +
               (t >= 30 && t < 31 ? 30 * std::sin(2 * std::numbers::pi * 20 * t) : 0);
    }
    Spectrogram s;
    std::string error;
    ASSERT_TRUE(s.compute(x, {100, 128, 96}, nullptr, error)) << error;
    const DecibelRange range = decibelRange(s, 60);
    for (bool log : {false, true}) {
        SpectrogramLayout l;
        l.setSize(700, 400);
        l.setTimeRange(0, 60, 3600);
        l.setFrequencyRange(s.frequency(1), 50, log);
        const std::vector<std::uint32_t> pixels = spectrogramPixels(l, s, range, 0);
        const PlotArea& a = l.plot();
        const int width = a.right - a.left;
        auto at = [&](double t, double f) {
            const int px = static_cast<int>(l.xOf(t)) - a.left, py = static_cast<int>(l.yOf(f)) - a.top;
            return pixels[static_cast<std::size_t>(py) * width + px];
        };
        auto level = [](std::uint32_t argb) { // index of the colour in the map
            for (int i = 0; i < 256; ++i)
                if (viridisArgb(i) == argb) return i;
            return -1;
        };
        // The sine is bright along its row and dark an octave away; the burst lights only its second.
        EXPECT_GT(level(at(10, 5)), 100) << log;
        EXPECT_LT(level(at(10, 10)), 60) << log;
        EXPECT_GT(level(at(30.5, 20)), 240) << log;
        EXPECT_LT(level(at(10, 20)), 60) << log;
        EXPECT_NEAR(l.frequencyAt(l.yOf(7.5)), 7.5, 1e-9);
        EXPECT_NEAR(l.timeAt(l.xOf(42)), 42, 1e-9);
        // Before the first segment's centre by more than half a step: no colour.
        EXPECT_EQ(pixels[static_cast<std::size_t>(l.yOf(5) - a.top) * width], 0u);
    }
    SpectrogramLayout l;
    l.setSize(700, 400);
    l.setTimeRange(0, 60, 3600);
    EXPECT_EQ(l.timeTicks().front().label, "01:00:00");
    l.setFrequencyRange(0.5, 50, true);
    std::vector<std::string> labels;
    for (const AxisTick& t : l.frequencyTicks())
        if (!t.label.empty()) labels.push_back(t.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"1", "10"}));
}

} // namespace
} // namespace tlx::views
