// Spectrogram of a record: short-time Fourier transforms of overlapping Hann-windowed segments,
// each segment's mean removed, as a one-sided power spectral density (counts²/Hz) per column,
// shown in dB. Computed on a worker with progress and cancel like the spectrum.
#pragma once

#include "dsp/spectrum.h"

#include <atomic>
#include <span>
#include <string>
#include <vector>

namespace tlx {

struct SpectrogramRequest {
    double sampleRate = 0;
    int window = 0;  // samples per segment
    int overlap = 0; // samples shared by neighbouring segments (below `window`)
};

// Segment length from seconds (at least 8 samples) and overlap from a fraction in [0, 1).
int spectrogramWindow(double seconds, double sampleRate);
int spectrogramOverlap(int window, double fraction);
// Defaults that fit a record: a power-of-two segment near 2.56 s, shortened until the record
// holds at least 32 segments, and half of it shared.
SpectrogramRequest defaultSpectrogramRequest(double sampleRate, long long samples);

class Spectrogram {
  public:
    // False on bad input (with `error` set) or when cancelled; the object is then empty.
    bool compute(std::span<const double> record, const SpectrogramRequest& request,
                 SpectrumProgress* progress, std::string& error);

    bool empty() const { return columns_ == 0; }
    const SpectrogramRequest& request() const { return request_; }
    int columns() const { return columns_; }
    int bins() const { return bins_; } // window / 2 + 1
    // Centre of a segment, in seconds from the first sample.
    double time(int column) const;
    double frequency(int bin) const { return bin * request_.sampleRate / request_.window; }
    double power(int column, int bin) const { return power_[static_cast<std::size_t>(column) * bins_ + bin]; }
    // 10·log10 of the power; kFloorDb for zero power.
    double decibels(int column, int bin) const;
    double maxDecibels() const;

    static constexpr double kFloorDb = -300;

  private:
    SpectrogramRequest request_;
    int columns_ = 0, bins_ = 0;
    std::vector<double> power_; // column after column
};

// Runs a spectrogram off the user-interface thread; the window polls done() and percent().
class SpectrogramJob : public TransformJob<Spectrogram, SpectrogramRequest> {
  public:
    // The samples are copied, so the record may change or close while the job runs.
    void start(std::span<const double> record, const SpectrogramRequest& request) {
        launch({record.begin(), record.end()}, request);
    }
    // After done(): the spectrogram, or false when it failed or was cancelled.
    bool take(Spectrogram& out, std::string& error) { return takeResult(out, error); }
};

} // namespace tlx
