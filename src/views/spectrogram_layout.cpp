#include "views/spectrogram_layout.h"

#include "core/text.h"
#include "views/colour_map.h"

#include <algorithm>
#include <cmath>

namespace tlx::views {
namespace {

constexpr int kLeft = 64, kRight = 86, kTop = 8, kBottom = 40;
constexpr int kLegendWidth = 16, kLegendGap = 12;

// The first of 1, 2, 5 × 10^k (and 15, 30 s, 10 and 30 min among them) at least `least`.
double niceStep(double least) {
    static const double steps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600, 7200, 21600};
    if (least < 1) {
        const double decade = std::pow(10.0, std::floor(std::log10(least)));
        for (double m : {1.0, 2.0, 5.0, 10.0})
            if (m * decade >= least) return m * decade;
    }
    for (double s : steps)
        if (s >= least) return s;
    return 86400;
}

std::string timeOfDay(double seconds, bool tenths) {
    double s = std::fmod(seconds, 86400);
    if (s < 0) s += 86400;
    const long tenthsTotal = std::lround(s * 10);
    const long whole = tenthsTotal / 10;
    std::string text = format("%02ld:%02ld:%02ld", whole / 3600 % 24, whole / 60 % 60, whole % 60);
    if (tenths) text += format(".%ld", tenthsTotal % 10);
    return text;
}

} // namespace

void SpectrogramLayout::setSize(int width, int height) {
    plot_ = {kLeft, kTop, std::max(kLeft + 1, width - kRight), std::max(kTop + 1, height - kBottom)};
    legend_ = {plot_.right + kLegendGap, plot_.top, plot_.right + kLegendGap + kLegendWidth, plot_.bottom};
}

void SpectrogramLayout::setTimeRange(double start, double span, double startOfDay) {
    start_ = start;
    span_ = span > 0 ? span : 1;
    startOfDay_ = startOfDay;
}

void SpectrogramLayout::setFrequencyRange(double low, double high, bool logarithmic) {
    log_ = logarithmic && low > 0 && high > low;
    fLow_ = log_ ? low : 0;
    fHigh_ = high > fLow_ ? high : fLow_ + 1;
}

double SpectrogramLayout::xOf(double seconds) const {
    return plot_.left + (seconds - start_) / span_ * (plot_.right - plot_.left);
}

double SpectrogramLayout::timeAt(double x) const {
    return start_ + (x - plot_.left) / (plot_.right - plot_.left) * span_;
}

double SpectrogramLayout::yOf(double f) const {
    const double fraction = log_ ? std::log(std::max(f, 1e-300) / fLow_) / std::log(fHigh_ / fLow_)
                                 : (f - fLow_) / (fHigh_ - fLow_);
    return plot_.bottom - fraction * (plot_.bottom - plot_.top);
}

double SpectrogramLayout::frequencyAt(double y) const {
    const double fraction = (plot_.bottom - y) / (plot_.bottom - plot_.top);
    return log_ ? fLow_ * std::pow(fHigh_ / fLow_, fraction) : fLow_ + fraction * (fHigh_ - fLow_);
}

std::vector<AxisTick> SpectrogramLayout::timeTicks() const {
    // About one label per 90 pixels.
    const double step = niceStep(span_ * 90 / std::max(1, plot_.right - plot_.left));
    std::vector<AxisTick> ticks;
    const double first = std::ceil((startOfDay_ + start_) / step - 1e-9) * step;
    for (double t = first; t <= startOfDay_ + start_ + span_ * (1 + 1e-9); t += step)
        ticks.push_back({static_cast<int>(std::lround(xOf(t - startOfDay_))), timeOfDay(t, step < 1)});
    return ticks;
}

std::vector<AxisTick> SpectrogramLayout::frequencyTicks() const {
    std::vector<AxisTick> ticks;
    auto add = [&](double f, bool label) {
        const int y = static_cast<int>(std::lround(yOf(f)));
        if (y >= plot_.top && y <= plot_.bottom)
            ticks.push_back({y, label ? format("%g", f) : std::string()});
    };
    if (log_) {
        for (double decade = std::pow(10.0, std::floor(std::log10(fLow_))); decade <= fHigh_; decade *= 10)
            for (int m = 1; m <= 9; ++m)
                if (decade * m >= fLow_ * (1 - 1e-9) && decade * m <= fHigh_ * (1 + 1e-9))
                    add(decade * m, m == 1);
    } else {
        const double step = niceStep((fHigh_ - fLow_) * 40 / std::max(1, plot_.bottom - plot_.top));
        for (double f = 0; f <= fHigh_ * (1 + 1e-9); f += step)
            add(f, true);
    }
    return ticks;
}

std::vector<AxisTick> SpectrogramLayout::legendTicks(double dbLow, double dbHigh) const {
    std::vector<AxisTick> ticks;
    if (!(dbHigh > dbLow)) return ticks;
    const double step = niceStep((dbHigh - dbLow) * 30 / std::max(1, legend_.bottom - legend_.top));
    for (double db = std::ceil(dbLow / step) * step; db <= dbHigh; db += step) {
        const double fraction = (db - dbLow) / (dbHigh - dbLow);
        ticks.push_back(
            {static_cast<int>(std::lround(legend_.bottom - fraction * (legend_.bottom - legend_.top))),
             format("%g", db)});
    }
    return ticks;
}

DecibelRange decibelRange(const Spectrogram& s, double rangeDb) {
    const double high = s.empty() ? 0 : std::ceil(s.maxDecibels());
    return {high - rangeDb, high};
}

std::vector<std::uint32_t> spectrogramPixels(const SpectrogramLayout& layout, const Spectrogram& s,
                                             DecibelRange range, std::uint32_t background) {
    const PlotArea& a = layout.plot();
    const int width = a.right - a.left, height = a.bottom - a.top;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, background);
    if (s.empty() || width <= 0 || height <= 0) return pixels;
    // Segments whose centre lies in a pixel column (the nearest one when none does), and bins
    // likewise for a pixel row.
    const double step = (s.request().window - s.request().overlap) / s.request().sampleRate;
    const double first = s.time(0);
    auto column = [&](double t) { return (t - first) / step; };
    std::vector<std::pair<int, int>> columns(static_cast<std::size_t>(width), {0, 0});
    for (int x = 0; x < width; ++x) {
        const double c0 = column(layout.timeAt(a.left + x)), c1 = column(layout.timeAt(a.left + x + 1));
        int from = static_cast<int>(std::ceil(c0)), to = static_cast<int>(std::ceil(c1));
        if (from >= to) from = static_cast<int>(std::lround((c0 + c1) / 2)), to = from + 1;
        from = std::max(from, 0), to = std::min(to, s.columns());
        // A pixel beyond the first or last segment's centre by more than half a step is empty.
        if (c1 < -0.5 || c0 > s.columns() - 0.5) from = to = 0;
        columns[static_cast<std::size_t>(x)] = {from, std::max(from, to)};
    }
    const double df = s.frequency(1);
    std::vector<std::pair<int, int>> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        // Row y spans frequencies from its lower edge (y + 1) up to its upper edge (y).
        const double b0 = layout.frequencyAt(a.top + y + 1) / df, b1 = layout.frequencyAt(a.top + y) / df;
        int from = static_cast<int>(std::ceil(b0 - 0.5)), to = static_cast<int>(std::ceil(b1 - 0.5));
        if (from >= to) from = static_cast<int>(std::lround((b0 + b1) / 2)), to = from + 1;
        rows[static_cast<std::size_t>(y)] = {std::max(from, 0), std::clamp(to, 0, s.bins())};
    }
    const double scale = 255 / std::max(1e-9, range.high - range.low);
    for (int x = 0; x < width; ++x) {
        const auto [c0, c1] = columns[static_cast<std::size_t>(x)];
        if (c0 >= c1) continue;
        for (int y = 0; y < height; ++y) {
            const auto [b0, b1] = rows[static_cast<std::size_t>(y)];
            double p = 0;
            for (int c = c0; c < c1; ++c)
                for (int b = b0; b < b1; ++b)
                    p = std::max(p, s.power(c, b));
            if (b0 >= b1) continue;
            const double db = p > 0 ? 10 * std::log10(p) : Spectrogram::kFloorDb;
            const int index = static_cast<int>(std::lround((db - range.low) * scale));
            pixels[static_cast<std::size_t>(y) * width + x] = viridisArgb(index);
        }
    }
    return pixels;
}

} // namespace tlx::views
