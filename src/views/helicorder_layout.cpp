#include "views/helicorder_layout.h"

#include "core/text.h"

#include <algorithm>
#include <cmath>

namespace tlx::views {
namespace {

constexpr int kLeft = 56, kRight = 8, kTop = 8, kBottom = 8;
constexpr double kMinSpacing = 12;   // pixels between lines before the view scrolls
constexpr double kLabelSpacing = 18; // below this, only lines starting on the hour are labelled

} // namespace

void HelicorderLayout::setSize(int width, int height) {
    plot_ = {kLeft, kTop, std::max(kLeft + 1, width - kRight), std::max(kTop + 1, height - kBottom)};
    height_ = height;
    setScroll(scroll_);
}

void HelicorderLayout::setData(double firstSample, double sampleRate, long long samples) {
    first_ = firstSample;
    rate_ = sampleRate > 0 ? sampleRate : 1;
    samples_ = std::max(0LL, samples);
    setScroll(scroll_);
}

void HelicorderLayout::setMinutesPerLine(int minutes) {
    minutes_ = std::max(1, minutes);
    setScroll(scroll_);
}

void HelicorderLayout::setScroll(int pixels) {
    scroll_ = std::clamp(pixels, 0, maxScroll());
}

int HelicorderLayout::lineCount() const {
    if (samples_ == 0) return 0;
    const double last = first_ + static_cast<double>(samples_ - 1) / rate_;
    return static_cast<int>(std::floor(last / lineSeconds()) - std::floor(first_ / lineSeconds())) + 1;
}

double HelicorderLayout::lineSpacing() const {
    const int n = std::max(1, lineCount());
    return std::max(kMinSpacing, static_cast<double>(plot_.bottom - plot_.top) / n);
}

int HelicorderLayout::maxScroll() const {
    const double content = lineSpacing() * lineCount();
    return std::max(0, static_cast<int>(std::ceil(content)) - (plot_.bottom - plot_.top));
}

double HelicorderLayout::lineStart(int line) const {
    return (std::floor(first_ / lineSeconds()) + line) * lineSeconds();
}

int HelicorderLayout::baseline(int line) const {
    return static_cast<int>(std::lround(plot_.top + (line + 0.5) * lineSpacing())) - scroll_;
}

int HelicorderLayout::lineOf(double t) const {
    const int line = static_cast<int>(std::floor((t - lineStart(0)) / lineSeconds()));
    return line >= 0 && line < lineCount() ? line : -1;
}

int HelicorderLayout::xOf(double t) const {
    const int line = lineOf(t);
    const double into = line < 0 ? 0 : (t - lineStart(line)) / lineSeconds();
    return plot_.left + static_cast<int>(std::floor(into * (plot_.right - plot_.left)));
}

std::optional<double> HelicorderLayout::timeAt(int x, int y) const {
    if (x < plot_.left || x >= plot_.right || y < plot_.top || y >= plot_.bottom) return std::nullopt;
    const int line = static_cast<int>(std::floor((y + scroll_ - plot_.top) / lineSpacing()));
    if (line < 0 || line >= lineCount()) return std::nullopt;
    const double t = lineStart(line) + (x - plot_.left + 0.5) / (plot_.right - plot_.left) * lineSeconds();
    const double last = first_ + static_cast<double>(samples_ - 1) / rate_;
    if (t < first_ || t > last) return std::nullopt;
    return t;
}

long long HelicorderLayout::firstSampleFrom(double t) const {
    const double i = std::ceil((t - first_) * rate_ - 1e-9);
    return static_cast<long long>(std::clamp(i, 0.0, static_cast<double>(samples_)));
}

int HelicorderLayout::offsetOf(double counts) const {
    const double half = lineSpacing() / 2;
    return static_cast<int>(std::lround(std::clamp(-counts / clip_ * half, -half, half)));
}

std::vector<AxisTick> HelicorderLayout::hourLabels() const {
    std::vector<AxisTick> labels;
    const auto [from, to] = visibleLines();
    for (int line = from; line < to; ++line) {
        const double start = lineStart(line);
        const long minutes = std::lround(start / 60);
        if (minutes % 60 != 0 && lineSpacing() < kLabelSpacing) continue;
        labels.push_back({baseline(line), format("%02ld:%02ld", minutes / 60 % 24, minutes % 60)});
    }
    return labels;
}

std::pair<int, int> HelicorderLayout::visibleLines() const {
    const double spacing = lineSpacing();
    const int from = std::max(0, static_cast<int>(std::floor(scroll_ / spacing)));
    const int to =
        std::min(lineCount(), static_cast<int>(std::ceil((scroll_ + plot_.bottom - plot_.top) / spacing)));
    return {from, std::max(from, to)};
}

std::vector<LineColumn> helicorderLine(const HelicorderLayout& layout, const MinMaxPyramid& pyramid,
                                       double mean, int line) {
    std::vector<LineColumn> columns;
    const PlotArea& a = layout.plot();
    const int width = a.right - a.left;
    const long long n = static_cast<long long>(pyramid.size());
    if (n == 0 || line < 0 || line >= layout.lineCount()) return columns;
    const int base = layout.baseline(line);
    const double start = layout.lineStart(line);
    // Pixel column x holds the samples from its left edge up to the next column's edge.
    auto edge = [&](int x) {
        const double t = start + static_cast<double>(x) / width * layout.lineSeconds();
        return std::clamp(layout.firstSampleFrom(t), 0LL, n);
    };
    columns.reserve(static_cast<std::size_t>(width));
    long long from = edge(0);
    for (int x = 0; x < width; ++x) {
        const long long to = edge(x + 1);
        if (to > from) {
            const MinMax m = pyramid.range(static_cast<std::size_t>(from), static_cast<std::size_t>(to));
            columns.push_back(
                {a.left + x, base + layout.offsetOf(m.max - mean), base + layout.offsetOf(m.min - mean)});
        }
        from = to;
    }
    return columns;
}

double defaultClip(std::span<const double> samples, double mean) {
    if (samples.empty()) return 1;
    const std::size_t step = std::max<std::size_t>(1, samples.size() / 100'000);
    std::vector<double> deviation;
    deviation.reserve(samples.size() / step + 1);
    for (std::size_t i = 0; i < samples.size(); i += step)
        deviation.push_back(std::abs(samples[i] - mean));
    auto middle = deviation.begin() + static_cast<std::ptrdiff_t>(deviation.size() / 2);
    std::nth_element(deviation.begin(), middle, deviation.end());
    return *middle > 0 ? 10 * *middle : 1;
}

} // namespace tlx::views
