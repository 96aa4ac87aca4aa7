#include "views/spectrum_view_model.h"

#include "core/text.h"

#include <algorithm>
#include <cmath>

namespace tlx::views {
namespace {

constexpr int kZoomDecades = 2;

int decadesOf(double low, double high) {
    return static_cast<int>(std::lround(std::log10(high / low)));
}

} // namespace

void SpectrumViewModel::setSize(int width, int height) {
    width_ = width;
    height_ = height;
    // Room for the amplitude labels on the left and the frequency labels below.
    plot_ = {std::min(70, width / 4), std::min(20, height / 10), width - std::min(20, width / 20),
             height - std::min(40, height / 6)};
    if (plot_.right <= plot_.left) plot_.right = plot_.left + 1;
    if (plot_.bottom <= plot_.top) plot_.bottom = plot_.top + 1;
}

void SpectrumViewModel::setSpectrum(const Spectrum* spectrum) {
    spectrum_ = spectrum && !spectrum->empty() ? spectrum : nullptr;
    zoomed_ = false;
    shift_ = 0;
}

bool SpectrumViewModel::canZoom() const {
    return spectrum_ && decadesOf(spectrum_->fLow(), spectrum_->fHigh()) > kZoomDecades;
}

void SpectrumViewModel::toggleZoom() {
    if (!canZoom()) return;
    zoomed_ = !zoomed_;
    shift_ = 0;
}

bool SpectrumViewModel::canShift(int decades) const {
    if (!zoomed_ || !spectrum_) return false;
    const int s = shift_ + decades;
    return s >= 0 && s + kZoomDecades <= decadesOf(spectrum_->fLow(), spectrum_->fHigh());
}

void SpectrumViewModel::shift(int decades) {
    if (canShift(decades)) shift_ += decades;
}

double SpectrumViewModel::viewLow() const {
    if (!spectrum_) return 0.1;
    return spectrum_->fLow() * std::pow(10.0, zoomed_ ? shift_ : 0);
}

double SpectrumViewModel::viewHigh() const {
    if (!spectrum_) return 100;
    return zoomed_ ? viewLow() * std::pow(10.0, kZoomDecades) : spectrum_->fHigh();
}

SpectrumAxes SpectrumViewModel::axes() const {
    if (!spectrum_) return spectrumAxes(0.1, 100, 0, 0, options_.yLog);
    return spectrumAxes(viewLow(), viewHigh(), spectrum_->maxAmplitude(), spectrum_->minAmplitude(),
                        options_.yLog);
}

int SpectrumViewModel::xOf(double f) const {
    const double x = frequencyToFraction(f, viewLow(), viewHigh());
    return plot_.left + static_cast<int>(std::lround(x * (plot_.right - plot_.left)));
}

double SpectrumViewModel::frequencyAt(double x) const {
    return fractionToFrequency((x - plot_.left) / (plot_.right - plot_.left), viewLow(), viewHigh());
}

namespace {

// Amplitude to row with the axes computed once (a long spectrum maps millions of bins).
struct RowMap {
    bool log;
    double low, high; // log: decades; linear: 0 and the top
    int top, bottom;
    int operator()(double a) const {
        double fraction = 0; // 0 at the bottom, 1 at the top
        if (log)
            fraction = a > 0 ? (std::log10(a) - low) / (high - low) : 0;
        else
            fraction = a / high;
        fraction = std::clamp(fraction, 0.0, 1.0);
        return bottom - static_cast<int>(std::lround(fraction * (bottom - top)));
    }
};

RowMap rowMap(const SpectrumAxes& ax, const PlotArea& plot) {
    if (ax.yLog) return {true, double(ax.yBottom), double(ax.yTop), plot.top, plot.bottom};
    return {false, 0, ax.yMax, plot.top, plot.bottom};
}

} // namespace

int SpectrumViewModel::yOf(double a) const {
    return rowMap(axes(), plot_)(a);
}

double SpectrumViewModel::amplitudeAt(double y) const {
    const SpectrumAxes ax = axes();
    const double fraction = (plot_.bottom - y) / (plot_.bottom - plot_.top);
    if (ax.yLog) return std::pow(10.0, ax.yBottom + fraction * (ax.yTop - ax.yBottom));
    return fraction * ax.yMax;
}

std::vector<ColumnSpan> SpectrumViewModel::columns() const {
    std::vector<ColumnSpan> out;
    if (!spectrum_) return out;
    const std::vector<double>& amp = spectrum_->amplitude();
    const double df = spectrum_->binWidth();
    const long long half = static_cast<long long>(amp.size());
    const double low = viewLow(), high = viewHigh();
    const RowMap row = rowMap(axes(), plot_);
    // Each column takes the bins whose frequency rounds to it: a long spectrum costs one pass.
    long long j = std::max(1LL, static_cast<long long>(std::ceil(low / df * (1 - 1e-12))));
    for (int x = plot_.left; x <= plot_.right && j < half; ++x) {
        const double edge = std::min(high, frequencyAt(x + 0.5));
        // The rows follow the amplitudes monotonically: only the column's first, last and extremes
        // are mapped.
        double first = 0, last = 0, lo = 0, hi = 0;
        bool any = false;
        for (; j < half && static_cast<double>(j) * df <= edge * (1 + 1e-12); ++j) {
            const double a = amp[static_cast<std::size_t>(j)];
            if (!any) first = lo = hi = a, any = true;
            last = a;
            lo = std::min(lo, a);
            hi = std::max(hi, a);
        }
        if (any) out.push_back({x, row(first), row(last), row(hi), row(lo)});
    }
    return out;
}

std::vector<AxisTick> SpectrumViewModel::xTicks() const {
    std::vector<AxisTick> out;
    const double low = viewLow(), high = viewHigh();
    for (double decade = low; decade <= high * (1 + 1e-9); decade *= 10) {
        out.push_back({xOf(decade), format("%g", decade)});
        if (decade * 10 > high * (1 + 1e-9)) break;
        for (int m = 2; m <= 9; ++m)
            out.push_back({xOf(decade * m), {}});
    }
    return out;
}

std::vector<AxisTick> SpectrumViewModel::yTicks() const {
    std::vector<AxisTick> out;
    const SpectrumAxes ax = axes();
    if (ax.yLog) {
        for (int k = ax.yBottom; k <= ax.yTop; ++k)
            out.push_back({yOf(std::pow(10.0, k)), format("1e%d", k)});
    } else {
        for (int i = 0; i <= ax.yDivisions; ++i) {
            const double v = ax.yMax * i / ax.yDivisions;
            out.push_back({yOf(v), format("%g", v)});
        }
    }
    return out;
}

std::vector<std::string> SpectrumViewModel::readout(int x, int y) const {
    if (!spectrum_ || x < plot_.left || x > plot_.right || y < plot_.top || y > plot_.bottom) return {};
    const double f = frequencyAt(x);
    return {format("Frequency: %.4g Hz", f), format("Period: %.4g s", 1 / f),
            format("Amplitude %s: %.4g", options_.volts ? "Volts" : "Counts", amplitudeAt(y))};
}

} // namespace tlx::views
