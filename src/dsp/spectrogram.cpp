#include "dsp/spectrogram.h"

#include "dsp/fftw_plans.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

namespace tlx {
namespace {

struct FftwFree {
    void operator()(void* p) const { fftw_free(p); }
};

// 2 GB of powers at most.
constexpr std::size_t kMaxValues = std::size_t{1} << 28;

} // namespace

int spectrogramWindow(double seconds, double sampleRate) {
    if (!(seconds > 0) || !(sampleRate > 0)) return 0;
    const double n = std::round(seconds * sampleRate);
    return n > 1 << 24 ? 1 << 24 : std::max(8, static_cast<int>(n));
}

int spectrogramOverlap(int window, double fraction) {
    if (!(fraction >= 0) || fraction >= 1) return -1;
    return std::min(window - 1, static_cast<int>(std::lround(window * fraction)));
}

SpectrogramRequest defaultSpectrogramRequest(double sampleRate, long long samples) {
    SpectrogramRequest r;
    r.sampleRate = sampleRate;
    int window = 8;
    while (window * 2 <= sampleRate * 2.56 * 1.5)
        window *= 2;
    while (window > 16 && samples / (window / 2) < 32)
        window /= 2;
    r.window = window;
    r.overlap = window / 2;
    return r;
}

double Spectrogram::time(int column) const {
    const double step = request_.window - request_.overlap;
    return (request_.window / 2.0 + column * step) / request_.sampleRate;
}

double Spectrogram::decibels(int column, int bin) const {
    const double p = power(column, bin);
    return p > 0 ? 10 * std::log10(p) : kFloorDb;
}

double Spectrogram::maxDecibels() const {
    const auto it = std::max_element(power_.begin(), power_.end());
    return it != power_.end() && *it > 0 ? 10 * std::log10(*it) : kFloorDb;
}

bool Spectrogram::compute(std::span<const double> x, const SpectrogramRequest& request,
                          SpectrumProgress* progress, std::string& error) {
    *this = Spectrogram{};
    if (!(request.sampleRate > 0) || !std::isfinite(request.sampleRate)) {
        error = "Invalid sample rate";
        return false;
    }
    const int n = request.window;
    if (n < 2 || request.overlap < 0 || request.overlap >= n) {
        error = "Invalid window length or overlap";
        return false;
    }
    if (x.size() < static_cast<std::size_t>(n)) {
        error = "The record is shorter than one window";
        return false;
    }
    const std::size_t step = static_cast<std::size_t>(n - request.overlap);
    const std::size_t columns = (x.size() - static_cast<std::size_t>(n)) / step + 1;
    const std::size_t bins = static_cast<std::size_t>(n / 2 + 1);
    std::unique_ptr<fftw_complex, FftwFree> buffer(
        static_cast<fftw_complex*>(fftw_malloc(sizeof(fftw_complex) * bins)));
    const SharedPlan plan = buffer ? cachedPlan(n, false) : nullptr;
    if (columns * bins > kMaxValues) {
        error = "Too many segments: choose a longer window or less overlap";
        return false;
    }
    std::vector<double> power;
    try {
        power.resize(columns * bins);
    } catch (const std::bad_alloc&) {
        error = "Out of memory!";
        return false;
    }
    if (!plan) {
        error = "Out of memory!";
        return false;
    }
    // The periodic Hann window; density scaling 1 / (rate · Σw²), one-sided bins doubled.
    std::vector<double> window(static_cast<std::size_t>(n));
    double sumSquares = 0;
    for (int i = 0; i < n; ++i) {
        window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / n);
        sumSquares += window[i] * window[i];
    }
    const double scale = 1 / (request.sampleRate * sumSquares);
    const std::size_t lastDoubled = n % 2 == 0 ? bins - 1 : bins; // the Nyquist bin stays single
    double* in = reinterpret_cast<double*>(buffer.get());
    for (std::size_t c = 0; c < columns; ++c) {
        if (progress) {
            if (progress->cancel.load()) return false;
            progress->percent = static_cast<int>(100 * c / columns);
        }
        const double* segment = x.data() + c * step;
        double mean = 0;
        for (int i = 0; i < n; ++i)
            mean += segment[i];
        mean /= n;
        for (int i = 0; i < n; ++i)
            in[i] = (segment[i] - mean) * window[i];
        fftw_execute_dft_r2c(plan.get(), in, buffer.get());
        double* out = power.data() + c * bins;
        for (std::size_t j = 0; j < bins; ++j) {
            const double re = buffer.get()[j][0], im = buffer.get()[j][1];
            out[j] = (re * re + im * im) * scale * (j > 0 && j < lastDoubled ? 2 : 1);
        }
    }
    request_ = request;
    columns_ = static_cast<int>(columns);
    bins_ = static_cast<int>(bins);
    power_ = std::move(power);
    if (progress) progress->percent = 100;
    return true;
}

} // namespace tlx
