#include "dsp/spectrum.h"

#include "core/atomic_file.h"
#include "core/text.h"
#include "dsp/fftw_plans.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

namespace tlx {
namespace {

std::complex<double>* allocateBins(std::size_t bins) {
    return static_cast<std::complex<double>*>(
        fftw_malloc(sizeof(fftw_complex) * std::max<std::size_t>(bins, 1)));
}

long long nextPowerOfTwo(long long n) {
    long long p = 1;
    while (p < n)
        p <<= 1;
    return p;
}

double powerOfTen(int k) {
    return std::pow(10.0, k);
}

} // namespace

void Spectrum::FreeBins::operator()(std::complex<double>* p) const {
    fftw_free(p);
}

const char* kindName(TransformKind kind) {
    return kind == TransformKind::Dft ? "DFT" : "FFT";
}

SpectrumExtent spectrumExtent(TransformKind kind, long long n, bool pad) {
    SpectrumExtent e;
    if (n <= 0) return e;
    if (kind == TransformKind::Dft) {
        e.length = std::min(n, kMaxSpectrumPoints);
    } else {
        e.length = nextPowerOfTwo(n);
        if (!pad && e.length != n) e.length /= 2;
        while (e.length > kMaxSpectrumPoints)
            e.length /= 2;
    }
    e.analysed = std::min(n, e.length);
    e.padded = e.length > e.analysed ? e.length - e.analysed : 0;
    return e;
}

void displayRange(double sampleRate, long long length, double& fLow, double& fHigh) {
    const double df = length > 0 ? sampleRate / static_cast<double>(length) : 0;
    int low = -3;
    while (low < 12 && powerOfTen(low + 1) <= df * (1 + 1e-12))
        ++low;
    const double top = std::trunc(sampleRate / 2 + 0.5);
    int high = -3;
    while (high < 3 && powerOfTen(high) < top * (1 - 1e-12))
        ++high;
    if (high <= low) high = low + 1;
    fLow = powerOfTen(low);
    fHigh = powerOfTen(high);
}

bool Spectrum::compute(std::span<const double> record, const SpectrumRequest& request,
                       SpectrumProgress* progress, std::string& error) {
    *this = Spectrum{};
    auto cancelled = [&] { return progress && progress->cancel.load(); };
    auto report = [&](int percent) {
        if (progress) progress->percent = percent;
    };
    if (!(request.sampleRate > 0) || !std::isfinite(request.sampleRate)) {
        error = "Invalid sample rate";
        return false;
    }
    const long long size = static_cast<long long>(record.size());
    if (request.startIndex < 0 || request.startIndex >= size) {
        error = "No samples to analyse";
        return false;
    }
    long long n = size - request.startIndex;
    if (request.count >= 0) n = std::min(n, request.count);
    const SpectrumExtent extent = spectrumExtent(request.kind, n, request.padOn);
    if (extent.length <= 0) {
        error = "No samples to analyse";
        return false;
    }
    n = extent.analysed;
    const long long N = extent.length;
    const std::span<const double> x =
        record.subspan(static_cast<std::size_t>(request.startIndex), static_cast<std::size_t>(n));

    const std::size_t bins = static_cast<std::size_t>(N / 2 + 1);
    std::unique_ptr<std::complex<double>[], FreeBins> buffer(allocateBins(bins));
    const SharedPlan plan = buffer ? cachedPlan(N, false) : nullptr;
    if (!plan) {
        error = "Out of memory!";
        return false;
    }
    double mean = 0;
    if (request.removeMean) {
        for (double v : x)
            mean += v;
        mean /= static_cast<double>(n);
    }
    std::vector<double> window;
    if (request.windowOn) {
        window.resize(static_cast<std::size_t>(n));
        const double step = 8 * std::atan(1.0) / static_cast<double>(n);
        const long long half = n / 2;
        for (long long i = 0; i < n; ++i)
            window[i] = 0.54 + 0.46 * std::cos(static_cast<double>(i - half) * step);
    }
    // As the radix-2 path does, the input is divided by N before the transform.
    double* in = reinterpret_cast<double*>(buffer.get());
    const double scale = 1 / static_cast<double>(N);
    if (window.empty())
        for (long long i = 0; i < n; ++i)
            in[i] = (x[i] - mean) * scale;
    else
        for (long long i = 0; i < n; ++i)
            in[i] = (x[i] - mean) * scale * window[i];
    std::fill(in + n, in + 2 * bins, 0.0);
    report(10);
    if (cancelled()) return false;
    fftw_execute_dft_r2c(plan.get(), in, reinterpret_cast<fftw_complex*>(buffer.get()));
    if (cancelled()) return false;
    report(90);

    bins_ = std::move(buffer);
    binCount_ = bins;
    request_ = request;
    request_.count = n;
    extent_ = extent;
    length_ = N;
    mean_ = mean;
    window_ = std::move(window);
    displayRange(request.sampleRate, N, fLow_, fHigh_);
    computeAmplitudes(amplitudeOptions_);
    report(100);
    return true;
}

void Spectrum::computeAmplitudes(const AmplitudeOptions& options) {
    amplitudeOptions_ = options;
    const long long half = length_ / 2;
    amplitude_.assign(static_cast<std::size_t>(half), 0.0);
    maxAmp_ = minAmp_ = 0;
    const double df = binWidth();
    double factor = options.peakToPeak ? 2 : 1;
    if (options.volts && options.voltsPerCount != 0) factor *= options.voltsPerCount;
    bool anyNonZero = false;
    for (long long j = 0; j < half; ++j) {
        const double f = static_cast<double>(j) * df;
        if (f < fLow_ * (1 - 1e-12) || f > fHigh_ * (1 + 1e-12)) continue;
        const std::complex<double> c = bins_[j];
        double a = std::sqrt(c.real() * c.real() + c.imag() * c.imag()) * factor;
        if (j > 0) a *= 2;
        amplitude_[j] = a;
        maxAmp_ = std::max(maxAmp_, a);
        if (a > 0 && (!anyNonZero || a < minAmp_)) minAmp_ = a, anyNonZero = true;
    }
}

template <class Gain> void Spectrum::applyGain(Gain gain) {
    const double df = binWidth();
    for (long long j = 1; j < length_ / 2; ++j) {
        double g = gain(static_cast<double>(j) * df);
        if (!std::isfinite(g)) g = 0;
        bins_[j] *= g;
    }
    filtered_ = true;
    computeAmplitudes(amplitudeOptions_);
}

namespace {

double lowGain(double f, double fc, int poles) {
    return 1 / std::sqrt(std::pow(f / fc, 2.0 * poles) + 1);
}
double highGain(double f, double fc, int poles) {
    return 1 / std::sqrt(std::pow(fc / f, 2.0 * poles) + 1);
}

bool checkPoles(int poles, Messages& messages) {
    if (poles >= 1 && poles <= 128) return true;
    messages.error("Input Error: Poles must be between 1 and 128");
    return false;
}

bool checkCutoff(double f, Messages& messages) {
    if (f > 0 && f <= 1000) return true;
    messages.error("Input Error: Cutoff Frequency must be above 0 and at most 1000");
    return false;
}

bool checkPair(double fH, double fL, Messages& messages) {
    if (fH >= 0 && fH <= 1000 && fL >= 0 && fL <= 1000) return true;
    messages.error("Input Error: Frequencies must be between 0 and 1000");
    return false;
}

} // namespace

void Spectrum::queueNote(const std::string& note) {
    notes_.push_back(format("%s %s", kindName(request_.kind), note.c_str()));
}

bool Spectrum::lowPass(double fc, int poles, Messages& messages) {
    if (empty() || !checkCutoff(fc, messages) || !checkPoles(poles, messages)) return false;
    applyGain([&](double f) { return lowGain(f, fc, poles); });
    queueNote(format("Filter BW LP Freq: %g Hz  Poles: %d", fc, poles));
    return true;
}

bool Spectrum::highPass(double fc, int poles, Messages& messages) {
    if (empty() || !checkCutoff(fc, messages) || !checkPoles(poles, messages)) return false;
    applyGain([&](double f) { return highGain(f, fc, poles); });
    queueNote(format("Filter BW HP Freq: %g Hz  Poles: %d", fc, poles));
    return true;
}

bool Spectrum::bandPass(double fH, double fL, int poles, Messages& messages) {
    if (empty() || !checkPair(fH, fL, messages) || !checkPoles(poles, messages)) return false;
    if (fL < fH) {
        messages.error("Input Error: High-Pass Frequency must be lower then Low-Pass Frequency");
        return false;
    }
    const double centre = fH + (fL - fH) / 2;
    applyGain([&](double f) { return f <= centre ? highGain(f, fH, poles) : lowGain(f, fL, poles); });
    queueNote(format("Filter BW BP FreqHi: %g Hz  FreqLow: %g Hz  Poles: %d", fH, fL, poles));
    return true;
}

bool Spectrum::notch(double fH, double fL, int poles, Messages& messages) {
    if (empty() || !checkPair(fH, fL, messages) || !checkPoles(poles, messages)) return false;
    if (!(fL < fH)) {
        messages.error("Input Error: Low-Pass Frequency must be lower then High-Pass Frequency");
        return false;
    }
    const double centre = fH + (fL - fH) / 2;
    applyGain([&](double f) { return f <= centre ? lowGain(f, fL, poles) : highGain(f, fH, poles); });
    queueNote(format("Filter BW Notch FreqHi: %g Hz  FreqLow: %g Hz  Poles: %d", fH, fL, poles));
    return true;
}

std::vector<double> Spectrum::timeDomain() const {
    if (empty()) return {};
    std::unique_ptr<std::complex<double>[], FreeBins> buffer(allocateBins(binCount_));
    const SharedPlan plan = buffer ? cachedPlan(length_, true) : nullptr;
    if (!plan) return {};
    std::copy(bins_.get(), bins_.get() + binCount_, buffer.get());
    // A real signal has a real bin 0, and a real Nyquist bin when its length is even.
    buffer[0].imag(0);
    if (length_ % 2 == 0) buffer[binCount_ - 1].imag(0);
    double* out = reinterpret_cast<double*>(buffer.get());
    fftw_execute_dft_c2r(plan.get(), reinterpret_cast<fftw_complex*>(buffer.get()), out);
    const long long n = extent_.analysed;
    std::vector<double> x(out, out + n);
    if (!window_.empty())
        for (long long i = 0; i < n; ++i)
            x[i] /= window_[i];
    return x;
}

bool Spectrum::backToTimeDomain(FilterTarget& target, int recordIndex) {
    // An unfiltered spectrum gives back the record itself; nothing to replace.
    if (empty() || !filtered_) return false;
    const std::vector<double> values = timeDomain();
    if (values.empty()) return false;
    const auto start = static_cast<std::size_t>(request_.startIndex);
    FilterOperation op;
    op.undoLabel = request_.kind == TransformKind::Dft ? "DFT Filtering" : "FFT Filtering";
    op.history = notes_;
    op.onlyRecord = recordIndex;
    op.work = [&](std::span<double> samples) {
        if (samples.size() < start + values.size()) return false; // the record changed since
        std::copy(values.begin(), values.end(), samples.begin() + static_cast<std::ptrdiff_t>(start));
        return true;
    };
    if (!target.apply(op)) return false;
    notes_.clear();
    filtered_ = false;
    return true;
}

std::string Spectrum::statusText(const std::string& recordName) const {
    return format("%s - Samples: %lld  Padded: %lld", recordName.c_str(), extent_.analysed, extent_.padded);
}

SpectrumAxes spectrumAxes(double fLow, double fHigh, double maxAmplitude, double minAmplitude, bool yLog) {
    SpectrumAxes a;
    a.xDecades = std::clamp(static_cast<int>(std::lround(std::log10(fHigh / fLow))), 1, 6);
    a.yLog = yLog;
    if (maxAmplitude > 0) {
        a.yTop = static_cast<int>(std::ceil(std::log10(maxAmplitude) - 1e-6));
        const double low = minAmplitude > 0 ? minAmplitude : maxAmplitude;
        a.yBottom = static_cast<int>(std::floor(std::log10(low) + 1e-6));
        a.yBottom = std::max(a.yBottom, a.yTop - 12);
        if (a.yBottom >= a.yTop) a.yBottom = a.yTop - 1;
        // Linear: the next 1, 2 or 5 step above the maximum.
        const double decade = powerOfTen(static_cast<int>(std::floor(std::log10(maxAmplitude))));
        for (double m : {1.0, 2.0, 5.0, 10.0})
            if (m * decade >= maxAmplitude * (1 - 1e-12)) {
                a.yMax = m * decade;
                break;
            }
    }
    return a;
}

double frequencyToFraction(double f, double fLow, double fHigh) {
    if (!(f > 0)) return 0;
    return std::log10(f / fLow) / std::log10(fHigh / fLow);
}

double fractionToFrequency(double x, double fLow, double fHigh) {
    return fLow * std::pow(fHigh / fLow, x);
}

void SpectrumJob::start(std::span<const double> record, const SpectrumRequest& request) {
    const std::size_t begin = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<long long>(request.startIndex, 0)), record.size());
    std::size_t end = record.size();
    if (request.count >= 0) end = std::min(end, begin + static_cast<std::size_t>(request.count));
    std::vector<double> samples(record.begin() + static_cast<std::ptrdiff_t>(begin),
                                record.begin() + static_cast<std::ptrdiff_t>(end));
    if (request.startIndex >= 0 && static_cast<std::size_t>(request.startIndex) >= record.size())
        samples.clear();
    SpectrumRequest whole = request;
    whole.startIndex = 0;
    whole.count = -1;
    launch(std::move(samples), whole);
    startIndex_ = static_cast<long long>(begin);
}

bool SpectrumJob::take(Spectrum& out, std::string& error) {
    if (!takeResult(out, error)) return false;
    out.rebase(startIndex_);
    return true;
}

std::filesystem::path defaultExportName(const std::filesystem::path& recordFile) {
    std::string name = recordFile.filename().string();
    if (name.size() >= 4 && iequals(std::string_view(name).substr(name.size() - 4), ".svx"))
        name.resize(name.size() - 4);
    return name + ".fft.txt";
}

bool exportSpectrum(const std::filesystem::path& file, const Spectrum& s, Messages& messages) {
    std::string text = "Freq,Real,Imaginary,Magnitude\n";
    const double df = s.binWidth();
    for (long long j = 0; j < s.length() / 2; ++j)
        text += format("%g,%g,%g,%g\n", static_cast<double>(j) * df, s.bins()[j].real(), s.bins()[j].imag(),
                       s.amplitude()[j]);
    if (writeFileAtomically(file, text)) return true;
    messages.error("Can't open output file");
    return false;
}

bool writeRatioFile(const std::filesystem::path& programDirectory, const Spectrum& mine,
                    const Spectrum* other, Messages& messages) {
    // Bins line up only when both transforms have the same length and rate.
    if (!other || other->empty() || mine.empty() || other->analysed() != mine.analysed() ||
        other->length() != mine.length() || other->request().sampleRate != mine.request().sampleRate) {
        messages.error("Can't find other FFT Window");
        return false;
    }
    std::string text;
    const double df = mine.binWidth();
    for (long long j = 0; j < mine.length() / 2; ++j) {
        const double b = other->amplitude()[j];
        text += format("%g %g\n", static_cast<double>(j) * df, b != 0 ? mine.amplitude()[j] / b : 0.0);
    }
    if (!writeFileAtomically(programDirectory / "ratio.txt", text)) {
        messages.error("Can't open RATIO.TXT file");
        return false;
    }
    messages.information(format("RATIO.TXT file created in directory %s", programDirectory.string().c_str()));
    return true;
}

} // namespace tlx
