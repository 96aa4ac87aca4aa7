// Layout of the helicorder ("drum") view: a channel in consecutive lines of a chosen length, lines
// aligned with the clock (a 15-minute line starts at :00, :15, :30, :45), a common amplitude clip,
// the time of a line and of a pixel, and each line's drawn columns from the min/max pyramid so that
// a day of samples repaints in time proportional to the window, not the day. Qt-free.
#pragma once

#include "views/minmax_pyramid.h"
#include "views/spectrum_view_model.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tlx::views {

inline constexpr int kLineMinutes[] = {5, 10, 15, 30, 60};

// Times are seconds after midnight of the first sample's day (a second day goes on past 86,400).
class HelicorderLayout {
  public:
    void setSize(int width, int height);
    void setData(double firstSample, double sampleRate, long long samples);
    void setMinutesPerLine(int minutes);
    // Common clip: the amplitude (counts from the mean) that reaches half a line spacing.
    void setClip(double counts) { clip_ = counts > 0 ? counts : 1; }
    // Pixels scrolled down when the lines do not fit.
    void setScroll(int pixels);

    int minutesPerLine() const { return minutes_; }
    double lineSeconds() const { return minutes_ * 60.0; }
    double clip() const { return clip_; }
    int scroll() const { return scroll_; }
    int maxScroll() const;
    const PlotArea& plot() const { return plot_; }
    int lineCount() const;
    double lineSpacing() const;
    double lineStart(int line) const;
    int baseline(int line) const; // after scrolling
    // The line holding a time, -1 outside the data's lines.
    int lineOf(double t) const;
    int xOf(double t) const;
    // The time under a pixel of the plot; absent outside the lines or the data.
    std::optional<double> timeAt(int x, int y) const;
    // Index of the first sample at or after a time (0 … the sample count).
    long long firstSampleFrom(double t) const;
    // Pixel offset of an amplitude from its line's baseline, clipped to half a line spacing.
    int offsetOf(double countsFromMean) const;
    // Labels at the left, "hh:mm": every line's start when the lines are far enough apart for one,
    // else only the lines that start on a whole hour.
    std::vector<AxisTick> hourLabels() const;
    // Lines that cross the plot after scrolling (first, one past the last).
    std::pair<int, int> visibleLines() const;

  private:
    PlotArea plot_;
    int height_ = 0;
    double first_ = 0, rate_ = 1;
    long long samples_ = 0;
    int minutes_ = 15;
    double clip_ = 1;
    int scroll_ = 0;
};

// One drawn column of a line: the extremes of the samples in that pixel column.
struct LineColumn {
    int x = 0, top = 0, bottom = 0;
};
std::vector<LineColumn> helicorderLine(const HelicorderLayout& layout, const MinMaxPyramid& pyramid,
                                       double mean, int line);

// A clip that keeps the quiet background readable: ten times the median absolute deviation from
// the mean, taken over at most 100,000 evenly spread samples.
double defaultClip(std::span<const double> samples, double mean);

} // namespace tlx::views
