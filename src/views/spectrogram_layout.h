// Layout of the spectrogram view: the plot with its time axis (the event window's span), the
// frequency axis (linear or logarithmic), the colour legend in dB, and the plot's pixels. Qt-free;
// the painter only draws what it computes.
#pragma once

#include "dsp/spectrogram.h"
#include "views/spectrum_view_model.h"

#include <cstdint>
#include <vector>

namespace tlx::views {

class SpectrogramLayout {
  public:
    void setSize(int width, int height);
    // Seconds from the record's first sample; `startOfDay` (seconds after midnight of the first
    // sample) labels the axis with the time of day.
    void setTimeRange(double start, double span, double startOfDay = 0);
    // The frequencies shown; a logarithmic axis starts at `low` (> 0), a linear one at 0.
    void setFrequencyRange(double low, double high, bool logarithmic);
    bool logarithmic() const { return log_; }

    const PlotArea& plot() const { return plot_; }
    const PlotArea& legend() const { return legend_; }
    double xOf(double seconds) const;
    double timeAt(double x) const;
    double yOf(double frequency) const;
    double frequencyAt(double y) const;

    std::vector<AxisTick> timeTicks() const;      // labelled "hh:mm:ss" (with tenths below 1 s steps)
    std::vector<AxisTick> frequencyTicks() const; // log: decades labelled, 2…9 unlabelled
    std::vector<AxisTick> legendTicks(double dbLow, double dbHigh) const;

  private:
    PlotArea plot_, legend_;
    double start_ = 0, span_ = 1, startOfDay_ = 0;
    double fLow_ = 0, fHigh_ = 1;
    bool log_ = false;
};

// The dB range of the colours: the loudest value down by `rangeDb`.
struct DecibelRange {
    double low = -80, high = 0;
};
DecibelRange decibelRange(const Spectrogram& s, double rangeDb);

// The plot's pixels, row after row, as 0xffRRGGBB: each pixel the loudest power of the segments
// and bins that fall into it (so that a short event never falls between pixels), `background`
// where there are none.
std::vector<std::uint32_t> spectrogramPixels(const SpectrogramLayout& layout, const Spectrogram& s,
                                             DecibelRange range, std::uint32_t background);

} // namespace tlx::views
