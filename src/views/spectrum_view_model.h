// Layout of the spectrum window: the plot area, the logarithmic frequency axis with its zoom,
// the amplitude axis (log or linear), one drawn span per pixel column and the cursor read-out.
// Qt-free; the painter only draws what it computes.
#pragma once

#include "dsp/spectrum.h"

#include <string>
#include <vector>

namespace tlx::views {

struct SpectrumOptions {
    bool yLog = true;       // "FFTYLog"
    bool xGrid = true;      // "FFTXGrid"
    bool yGrid = true;      // "FFTYGrid"
    bool peakToPeak = true; // "FFTPeakToPeak"
    bool volts = false;     // "FFTYMode" 1
};

struct PlotArea {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct AxisTick {
    int pos = 0;       // pixel column (X) or row (Y)
    std::string label; // empty for minor ticks
};

// The trace within one pixel column: the bins falling in it, from the first to the last, and
// the extremes between (rows grow downwards).
struct ColumnSpan {
    int x = 0;
    int first = 0, last = 0, top = 0, bottom = 0;
};

class SpectrumViewModel {
  public:
    void setSize(int width, int height);
    // The spectrum shown (not owned; null: nothing). Resets the zoom.
    void setSpectrum(const Spectrum* spectrum);
    const Spectrum* spectrum() const { return spectrum_; }
    SpectrumOptions& options() { return options_; }
    const SpectrumOptions& options() const { return options_; }

    // "&Zoom In/Out": two decades of the range, or all of it; "&Higher/&Lower Frequencies" move the
    // zoomed view one decade.
    bool canZoom() const;
    void toggleZoom();
    bool zoomed() const { return zoomed_; }
    bool canShift(int decades) const;
    void shift(int decades);
    double viewLow() const;
    double viewHigh() const;

    const PlotArea& plot() const { return plot_; }
    SpectrumAxes axes() const;
    int xOf(double frequency) const;
    double frequencyAt(double x) const;
    int yOf(double amplitude) const;
    double amplitudeAt(double y) const;

    std::vector<ColumnSpan> columns() const;
    std::vector<AxisTick> xTicks() const; // decades labelled, 2…9 unlabelled
    std::vector<AxisTick> yTicks() const;
    // "Frequency: ", "Period: ", "Amplitude Counts: " / "Amplitude Volts: " at a point of the plot;
    // empty outside it.
    std::vector<std::string> readout(int x, int y) const;

  private:
    const Spectrum* spectrum_ = nullptr;
    SpectrumOptions options_;
    PlotArea plot_;
    int width_ = 0, height_ = 0;
    bool zoomed_ = false;
    int shift_ = 0; // decades above fLow where the zoomed view starts
};

} // namespace tlx::views
