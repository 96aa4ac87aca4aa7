// Settings of the spectrum window and of its spectral filter dialogs.
#pragma once

#include "core/ini_profile.h"
#include "dsp/spectrum.h"

namespace tlx {

// Section "Settings".
struct SpectrumSettings {
    bool windowFft = false; // "WindowFFT"
    bool padFft = true;     // "PadFFT"
    bool dcOffset = true;   // "FFTDCOffset"
    bool xGrid = true;      // "FFTXGrid"
    bool yGrid = true;      // "FFTYGrid"
    bool yLog = true;       // "FFTYLog"
    bool peakToPeak = true; // "FFTPeakToPeak"
    int yMode = 0;          // "FFTYMode": 0 counts, 1 volts
};
SpectrumSettings loadSpectrumSettings(const IniProfile& profile);
// Writes one display toggle (the window writes each key as it changes).
bool writeSpectrumSetting(IniProfile& profile, const char* key, int value);

// A long DFT runs in a worker thread with a progress dialog.
inline bool runsInWorker(TransformKind kind, long long analysed) {
    return kind == TransformKind::Dft && analysed > 4096;
}
// "DFT Status - %d %% Done..." as the progress dialog shows it.
std::string progressText(int percent);

// Section "Filter": defaults of the spectral filter dialogs.
struct SpectralFilterDefaults {
    double lowPassFreq = 1.0;
    int lowPassPoles = 6;
    double highPassFreq = 1.0;
    int highPassPoles = 6;
    double bandLowFreq = 0, bandHighFreq = 0;
    int bandPassPoles = 6;
    double notchLowFreq = 0, notchHighFreq = 0;
    int notchPassPoles = 6;
};
SpectralFilterDefaults loadSpectralFilterDefaults(const IniProfile& profile);
// Only when the dialog's "&Save as Default" is checked; frequencies as "%f".
bool saveSpectralFilterDefaults(IniProfile& profile, const SpectralFilterDefaults& d);

} // namespace tlx
