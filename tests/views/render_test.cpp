// Pictures drawn offscreen and checked pixel by pixel.
#include "views/scene_painter.h"
#include "views/view_style.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace tlx::views {
namespace {

class Render : public ::testing::Test {
  protected:
    void load(std::vector<double> samples) {
        samples_ = std::move(samples);
        record_.header.startTime = {2024, 3, 1, 12, 0, 0, 0, 0};
        record_.header.sps = 100;
        const auto [lo, hi] = std::minmax_element(samples_.begin(), samples_.end());
        record_.header.dataMin = *lo;
        record_.header.dataMax = *hi;
        record_.header.dataMean = 0;
        pyramid_.rebuild(samples_);
        model_.setSources({{&record_, samples_, &pyramid_, 0, "STA"}});
    }

    ViewStyle styleFrom(const char* ini) {
        IniProfile profile;
        profile.loadText(ini);
        return readViewStyle(profile, true);
    }

    EventRecord record_;
    std::vector<double> samples_;
    MinMaxPyramid pyramid_;
    EqViewModel model_;
};

const char* kColours =
    "[Colors]\nBackground=10 20 30\nGraph=250 250 0\nPSMarkers=255 0 255\nXGrid=0 200 0\nYGrid=0 200 0\n";

QRgb rgb(const Rgb& c) {
    return qRgb(c.r, c.g, c.b);
}

TEST_F(Render, TraceExtremesBackgroundAndMarkersFollowDataAndSettings) {
    std::vector<double> s(30'000);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = 800 * std::sin(static_cast<double>(i) * 0.003) + 37 * std::sin(i * 0.9);
    s[12'345] = 1500; // one sample above everything else
    s[20'000] = -1200;
    load(s);
    const ViewStyle style = styleFrom(kColours);
    model_.options().xGrid = false;
    model_.options().yGrid = false;
    const QImage first = renderPicture(model_, style, 640, 480);
    model_.placeMarker(kMarkerP, 43'260'000, 300); // 12:01:00
    const QImage image = renderPicture(model_, style, 640, 480);
    (void)first;
    const Rect g = model_.graph();
    const Rect s0 = model_.strip(0);
    // Background in the bottom-right corner.
    EXPECT_EQ(image.pixel(639, 479), rgb(style.colors.background));
    // Highest and lowest trace rows are the rows of the data's extremes.
    int top = 10'000, bottom = -1;
    for (int y = s0.top; y <= s0.bottom && y < image.height(); ++y)
        for (int x = g.left; x < g.right; ++x)
            if (image.pixel(x, y) == rgb(style.colors.graph)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_EQ(top, model_.sampleY(0, 1500));
    EXPECT_EQ(bottom, model_.sampleY(0, -1200));
    // The P marker's arrow tip at (x + 12, y + 1) in the marker colour, at the column of 12:01:00.
    const Marker& p = model_.marker(kMarkerP);
    const int expectedX = static_cast<int>(std::lround(60.0 / model_.spanSeconds() * g.width() + g.left));
    EXPECT_NEAR(p.x + 12, expectedX, 1);
    EXPECT_EQ(image.pixel(p.x + 12, p.y + 1), rgb(style.colors.markers));
    EXPECT_EQ(image.pixel(p.x + 12, p.y + 10), rgb(style.colors.markers)); // shaft
}

TEST_F(Render, SpikeTrainShowsEverySpike) {
    std::vector<double> s(400'000, 0.0);
    std::vector<std::size_t> spikes;
    for (std::size_t i = 1000; i < s.size(); i += 1733) {
        s[i] = (spikes.size() % 2 == 0) ? 900 : -900;
        spikes.push_back(i);
    }
    load(s);
    const ViewStyle style = styleFrom(kColours);
    model_.options().xGrid = false;
    model_.options().yGrid = false;
    model_.options().distance = false;
    const QImage image = renderPicture(model_, style, 500, 300);
    const Rect g = model_.graph();
    const double pps = g.width() / (model_.spanSeconds() * 100);
    int seen = 0;
    for (std::size_t k = 0; k < spikes.size(); ++k) {
        const int x = g.left + static_cast<int>(std::floor(static_cast<double>(spikes[k]) * pps));
        if (x >= g.right) continue;
        const int y = model_.sampleY(0, s[spikes[k]]);
        EXPECT_EQ(image.pixel(x, y), rgb(style.colors.graph)) << "spike " << k << " at column " << x;
        ++seen;
    }
    EXPECT_GT(seen, 200);
}

TEST_F(Render, MonochromeColoursAreBlackOnWhite) {
    const ViewColors c = monochrome();
    EXPECT_EQ(c.printBackground, (Rgb{255, 255, 255}));
    EXPECT_EQ(c.graph, (Rgb{0, 0, 0}));
    EXPECT_EQ(parseRgb("12 34"), (Rgb{12, 34, 0}));
    EXPECT_EQ(rgbText({1, 22, 255}), "  1  22 255");
}

} // namespace
} // namespace tlx::views
