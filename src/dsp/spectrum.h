// Amplitude spectra of a record (DFT of any length or FFT of a power of two, both through FFTW),
// spectral filters, the return to the time domain and the display range of the spectrum view.
#pragma once

#include "core/messages.h"
#include "dsp/filter_target.h"
#include "dsp/transform_job.h"

#include <atomic>
#include <complex>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tlx {

enum class TransformKind { Dft, Fft };
const char* kindName(TransformKind kind); // "DFT" or "FFT"

inline constexpr long long kMaxSpectrumPoints = 10'485'760;

struct SpectrumExtent {
    long long analysed = 0; // n: record samples analysed
    long long length = 0;   // N: transform length
    long long padded = 0;   // N - n when N > n
};
// DFT: N = n. FFT: the next power of two, or the one below when padding is off. N stays within
// kMaxSpectrumPoints; the samples beyond N are not analysed.
SpectrumExtent spectrumExtent(TransformKind kind, long long n, bool pad);

struct SpectrumRequest {
    TransformKind kind = TransformKind::Fft;
    bool windowOn = false;    // "WindowFFT"
    bool padOn = true;        // "PadFFT"
    bool removeMean = true;   // "FFTDCOffset"
    long long startIndex = 0; // first analysed sample
    long long count = -1;     // samples wanted; -1: to the end of the record
    double sampleRate = 0;
};

// Display options that change the amplitudes.
struct AmplitudeOptions {
    bool peakToPeak = true;
    bool volts = false;
    double voltsPerCount = 0; // adVolts / (2^adBits × 0.5)
};

class Spectrum {
  public:
    // Computes the spectrum of record[start, start + n). False on bad input (with `error` set) or when
    // cancelled; the object is then empty.
    bool compute(std::span<const double> record, const SpectrumRequest& request, SpectrumProgress* progress,
                 std::string& error);

    bool empty() const { return length_ == 0; }
    const SpectrumRequest& request() const { return request_; }
    long long analysed() const { return extent_.analysed; }
    long long length() const { return length_; }
    long long padded() const { return extent_.padded; }
    double binWidth() const { return request_.sampleRate / static_cast<double>(length_); }
    double mean() const { return mean_; }
    // Bins 0 … N/2 (the others mirror them as complex conjugates), already divided by N.
    std::span<const std::complex<double>> bins() const { return {bins_.get(), binCount_}; }

    // Displayed range (powers of ten) and amplitudes of bins 0 … N/2 − 1.
    double fLow() const { return fLow_; }
    double fHigh() const { return fHigh_; }
    void computeAmplitudes(const AmplitudeOptions& options);
    const std::vector<double>& amplitude() const { return amplitude_; }
    double maxAmplitude() const { return maxAmp_; }
    double minAmplitude() const { return minAmp_; }

    // Spectral filters. False with an input-error message when the values are refused.
    bool lowPass(double cutoff, int poles, Messages& messages);
    bool highPass(double cutoff, int poles, Messages& messages);
    bool bandPass(double highPassCutoff, double lowPassCutoff, int poles, Messages& messages);
    bool notch(double highPassCutoff, double lowPassCutoff, int poles, Messages& messages);
    bool filtered() const { return filtered_; }
    const std::vector<std::string>& notes() const { return notes_; }

    // The n analysed samples after the inverse transform (window divided out; the mean stays removed).
    std::vector<double> timeDomain() const;
    // "&Time Domain": when the spectrum was filtered, replaces the analysed samples of record
    // `recordIndex` through the window's undo. Returns true when the record changed.
    bool backToTimeDomain(FilterTarget& target, int recordIndex);

    // The spectrum was computed from a copy of the analysed part; this is where it starts in the record.
    void rebase(long long startIndex) { request_.startIndex = startIndex; }

    // Status text after computing: "%s - Samples: %d  Padded: %d".
    std::string statusText(const std::string& recordName) const;

  private:
    template <class Gain> void applyGain(Gain gain);
    void queueNote(const std::string& note);

    SpectrumRequest request_;
    SpectrumExtent extent_;
    long long length_ = 0;
    double mean_ = 0;
    struct FreeBins {
        void operator()(std::complex<double>* p) const;
    };
    // FFTW's aligned buffer: the transform runs in place.
    std::unique_ptr<std::complex<double>[], FreeBins> bins_;
    std::size_t binCount_ = 0;
    std::vector<double> window_, amplitude_;
    double fLow_ = 0, fHigh_ = 0, maxAmp_ = 0, minAmp_ = 0;
    bool filtered_ = false;
    std::vector<std::string> notes_;
    AmplitudeOptions amplitudeOptions_;
};

// The displayed frequency range: fLow the largest power of ten ≤ df (not below 0.001), fHigh the
// smallest power of ten ≥ trunc(rate / 2 + 0.5), from 0.001 up to 1000.
void displayRange(double sampleRate, long long length, double& fLow, double& fHigh);

// Axes of the spectrum view, as numbers for the painter.
struct SpectrumAxes {
    int xDecades = 1; // log X from fLow to fHigh
    bool yLog = true;
    int yTop = 0, yBottom = -1; // log Y: decades (powers of ten)
    double yMax = 1;            // linear Y: top of the scale
    int yDivisions = 10;
};
SpectrumAxes spectrumAxes(double fLow, double fHigh, double maxAmplitude, double minAmplitude, bool yLog);
// Position along the log X axis (0 left … 1 right) and back.
double frequencyToFraction(double f, double fLow, double fHigh);
double fractionToFrequency(double x, double fLow, double fHigh);

// Runs a long transform off the user-interface thread; the window polls done() and percent().
class SpectrumJob : public TransformJob<Spectrum, SpectrumRequest> {
  public:
    // The samples are copied, so the record may change or close while the job runs.
    void start(std::span<const double> record, const SpectrumRequest& request);
    // After done(): the spectrum, or false when it failed or was cancelled.
    bool take(Spectrum& out, std::string& error);

  private:
    long long startIndex_ = 0;
};

// Export file: "Freq,Real,Imaginary,Magnitude" and one line per bin below N/2.
std::filesystem::path defaultExportName(const std::filesystem::path& recordFile);
bool exportSpectrum(const std::filesystem::path& file, const Spectrum& spectrum, Messages& messages);
// ratio.txt in the program directory: this spectrum's amplitudes over the other's.
bool writeRatioFile(const std::filesystem::path& programDirectory, const Spectrum& mine,
                    const Spectrum* other, Messages& messages);

} // namespace tlx
