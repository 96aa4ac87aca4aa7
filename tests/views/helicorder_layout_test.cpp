#include "views/helicorder_layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tlx::views {
namespace {

// 1000 × 600 pixels: the plot is 936 wide (56 … 1000 - 8) and 584 high.
HelicorderLayout layoutOf(double first, double rate, long long samples, int minutes) {
    HelicorderLayout l;
    l.setSize(1000, 600);
    l.setData(first, rate, samples);
    l.setMinutesPerLine(minutes);
    return l;
}

TEST(HelicorderLayout, LineOfATimeAndTimeOfAPixel) {
    // A day at 100 samples/s starting 00:07:30, and an hour starting 13:02.
    const HelicorderLayout day = layoutOf(450, 100, 8'640'000, 15);
    const HelicorderLayout hour = layoutOf(13 * 3600 + 120, 100, 360'000, 5);
    EXPECT_EQ(day.lineCount(), 97); // 00:00 … 24:00, the last line holding the final 7.5 minutes
    EXPECT_EQ(hour.lineCount(), 13);
    EXPECT_EQ(day.lineSpacing(), 12); // 584 / 97 is below the least spacing: the view scrolls
    EXPECT_EQ(day.maxScroll(), 97 * 12 - 584);
    const struct {
        const HelicorderLayout& layout;
        double t;
        int line, x;
    } times[] = {
        {day, 449, 0, 56 + 466},              // 00:07:29 lies on the 00:00 line, before the data
        {day, 450, 0, 56 + 468},              // the first sample, half way along
        {day, 899.99, 0, 56 + 935},           // last column of the line
        {day, 900, 1, 56},                    // the next line starts at 00:15
        {day, 86399, 95, 56 + 934},           // 23:59:59
        {day, 86400 + 449.99, 96, 56 + 467},  // the last sample, past midnight
        {day, 86400 + 900, -1, 0},            // after the last line
        {day, -1, -1, 0},                     // before the first
        {hour, 13 * 3600 + 120, 0, 56 + 374}, // 13:02 on the 13:00 line
        {hour, 13 * 3600 + 300, 1, 56},       // 13:05
        {hour, 14 * 3600 + 119, 12, 56 + 371},
    };
    for (const auto& c : times) {
        EXPECT_EQ(c.layout.lineOf(c.t), c.line) << c.t;
        if (c.line >= 0) {
            EXPECT_EQ(c.layout.xOf(c.t), c.x) << c.t;
        }
    }
    // The time under a pixel, and nothing before the first sample, after the last, or outside.
    HelicorderLayout h = hour;
    const int y = h.baseline(1);
    ASSERT_TRUE(h.timeAt(56 + 468, y));
    EXPECT_NEAR(*h.timeAt(56 + 468, y), 13 * 3600 + 300 + 150, 300.0 / 936);
    EXPECT_FALSE(h.timeAt(56, h.baseline(0)));        // 13:00, before the first sample at 13:02
    EXPECT_FALSE(h.timeAt(56 + 900, h.baseline(12))); // after the last sample
    EXPECT_FALSE(h.timeAt(20, y));                    // in the label margin
    // Scrolling moves the lines up: the pixel of a line follows it.
    HelicorderLayout d = day;
    d.setScroll(120);
    EXPECT_EQ(d.baseline(10), day.baseline(10) - 120);
    EXPECT_NEAR(*d.timeAt(56, d.baseline(40)), 40 * 900 + 900.0 / 936 / 2, 1e-6);
    d.setScroll(100000);
    EXPECT_EQ(d.scroll(), d.maxScroll());
    EXPECT_EQ(d.visibleLines().second, 97);
}

TEST(HelicorderLayout, ClipIsCommonToEveryLine) {
    HelicorderLayout l = layoutOf(0, 100, 360'000, 60); // one line of 584 pixels
    l.setClip(200);
    const struct {
        double counts;
        int offset;
    } cases[] = {{0, 0}, {100, -146}, {-100, 146}, {200, -292}, {5000, -292}, {-5000, 292}};
    for (const auto& c : cases)
        EXPECT_EQ(l.offsetOf(c.counts), c.offset) << c.counts;
    // The default clip ignores a single large event: ten times the median deviation.
    std::vector<double> x(100'000);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = 500 + (i % 2 ? 3 : -3) + (i == 5000 ? 1e6 : 0);
    EXPECT_DOUBLE_EQ(defaultClip(x, 500), 30);
}

TEST(HelicorderLayout, EverySpikeOfADayIsDrawnOnItsLine) {
    // A spike each minute, at hh:mm:30, on a quiet day of 24 h at 100 samples/s from 00:00.
    const double rate = 100;
    std::vector<double> day(8'640'000, 0.0);
    for (std::size_t minute = 0; minute < 1440; ++minute)
        day[minute * 6000 + 3000] = 1000;
    const MinMaxPyramid pyramid(day);
    for (int minutes : kLineMinutes) {
        HelicorderLayout l = layoutOf(0, rate, static_cast<long long>(day.size()), minutes);
        l.setClip(500);
        for (int line = 0; line < l.lineCount(); ++line) {
            const std::vector<LineColumn> columns = helicorderLine(l, pyramid, 0, line);
            ASSERT_EQ(columns.size(), 936u) << minutes << " " << line;
            int spikes = 0;
            for (const LineColumn& c : columns) {
                if (c.top == c.bottom) continue;
                ++spikes;
                EXPECT_EQ(c.top, l.baseline(line) - static_cast<int>(std::lround(l.lineSpacing() / 2)));
                EXPECT_EQ(c.bottom, l.baseline(line));
                // The column is the one of some spike's time on this line.
                const double t = l.lineStart(line) + (c.x - 56 + 0.5) / 936 * l.lineSeconds();
                EXPECT_NEAR(std::fmod(t, 60), 30, l.lineSeconds() / 936) << minutes << " " << line;
            }
            EXPECT_EQ(spikes, minutes) << minutes << " " << line;
        }
    }
}

} // namespace
} // namespace tlx::views
