#include "views/spectrum_view_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tlx::views {
namespace {

Spectrum sineSpectrum(double rate, long long n, double hz, double amplitude) {
    std::vector<double> x(static_cast<std::size_t>(n));
    for (long long i = 0; i < n; ++i)
        x[i] = amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / rate);
    SpectrumRequest request;
    request.sampleRate = rate;
    Spectrum s;
    std::string error;
    EXPECT_TRUE(s.compute(x, request, nullptr, error)) << error;
    return s;
}

std::vector<std::string> labels(const std::vector<AxisTick>& ticks) {
    std::vector<std::string> out;
    for (const AxisTick& t : ticks)
        if (!t.label.empty()) out.push_back(t.label);
    return out;
}

// The frequency axis, its zoom and the read-out for the ranges of typical station rates.
TEST(SpectrumViewModel, FrequencyAxisZoomAndReadout) {
    struct Case {
        double rate;
        long long n;
        std::vector<std::string> decades;
        std::vector<std::pair<double, double>> zoomSteps; // view after Zoom, then after each Higher
    };
    const Case cases[] = {
        {100, 1024, {"0.01", "0.1", "1", "10", "100"}, {{0.01, 1}, {0.1, 10}, {1, 100}}},
        {20, 1000, {"0.01", "0.1", "1", "10"}, {{0.01, 1}, {0.1, 10}}},
        {1, 600, {"0.001", "0.01", "0.1", "1"}, {{0.001, 0.1}, {0.01, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        const Spectrum s = sineSpectrum(c.rate, c.n, c.rate / 10, 100);
        SpectrumViewModel m;
        m.setSize(690, 500); // a plot 600 pixels wide: every decade on a whole pixel
        m.setSpectrum(&s);
        const PlotArea& a = m.plot();
        EXPECT_EQ(labels(m.xTicks()), c.decades);
        EXPECT_EQ(m.xOf(s.fLow()), a.left);
        EXPECT_EQ(m.xOf(s.fHigh()), a.right);
        // The read-out inverts the axis: a decade line reads its own frequency and period.
        const std::vector<std::string> r = m.readout(m.xOf(s.fLow() * 10), (a.top + a.bottom) / 2);
        ASSERT_EQ(r.size(), 3u);
        EXPECT_EQ(r[0], "Frequency: " + c.decades[1] + " Hz");
        EXPECT_EQ(r[1], "Period: " + std::string(c.rate == 1 ? "100" : "10") + " s");
        EXPECT_EQ(r[2].rfind("Amplitude Counts: ", 0), 0u);
        EXPECT_TRUE(m.readout(a.left - 1, a.top).empty());

        EXPECT_FALSE(m.canShift(1));
        m.toggleZoom();
        for (std::size_t i = 0; i < c.zoomSteps.size(); ++i) {
            EXPECT_NEAR(m.viewLow(), c.zoomSteps[i].first, 1e-12);
            EXPECT_NEAR(m.viewHigh(), c.zoomSteps[i].second, 1e-12);
            EXPECT_EQ(m.canShift(1), i + 1 < c.zoomSteps.size());
            m.shift(1);
        }
        EXPECT_TRUE(m.canShift(-1));
        m.toggleZoom();
        EXPECT_EQ(m.viewHigh(), s.fHigh());
    }
}

// Amplitude axis both ways, and one span per column for a long spectrum with its peak where the
// sine is.
TEST(SpectrumViewModel, AmplitudeAxisAndColumns) {
    const double rate = 128, hz = 2;
    const Spectrum s = sineSpectrum(rate, 1 << 20, hz, 1000);
    SpectrumViewModel m;
    m.setSize(640, 400);
    m.setSpectrum(&s);
    const PlotArea& a = m.plot();
    for (bool yLog : {true, false}) {
        SCOPED_TRACE(yLog);
        m.options().yLog = yLog;
        const SpectrumAxes ax = m.axes();
        // The peak-to-peak amplitude of the sine is 2000 counts.
        EXPECT_NEAR(s.maxAmplitude(), 2000, 1e-6);
        EXPECT_EQ(ax.yTop, 4);
        EXPECT_EQ(m.yOf(yLog ? 1e4 : ax.yMax), a.top);
        EXPECT_EQ(m.yOf(0), a.bottom);
        EXPECT_NEAR(m.amplitudeAt(m.yOf(2000)), 2000, yLog ? 2000 * 0.05 : ax.yMax / (a.bottom - a.top));
        EXPECT_EQ(labels(m.yTicks()).back(), yLog ? "1e4" : "2000");

        const std::vector<ColumnSpan> cols = m.columns();
        ASSERT_FALSE(cols.empty());
        EXPECT_LE(static_cast<int>(cols.size()), a.right - a.left + 1);
        const ColumnSpan* peak = &cols.front();
        for (std::size_t i = 0; i < cols.size(); ++i) {
            if (i > 0) {
                EXPECT_GT(cols[i].x, cols[i - 1].x);
            }
            if (cols[i].top < peak->top) peak = &cols[i];
        }
        EXPECT_NEAR(peak->x, m.xOf(hz), 1);
        EXPECT_EQ(peak->top, m.yOf(2000));
    }
}

} // namespace
} // namespace tlx::views
