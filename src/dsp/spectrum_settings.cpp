#include "dsp/spectrum_settings.h"

#include "core/text.h"

namespace tlx {

SpectrumSettings loadSpectrumSettings(const IniProfile& p) {
    SpectrumSettings s;
    s.windowFft = p.getBool("Settings", "WindowFFT", false);
    s.padFft = p.getBool("Settings", "PadFFT", true);
    s.dcOffset = p.getBool("Settings", "FFTDCOffset", true);
    s.xGrid = p.getBool("Settings", "FFTXGrid", true);
    s.yGrid = p.getBool("Settings", "FFTYGrid", true);
    s.yLog = p.getBool("Settings", "FFTYLog", true);
    s.peakToPeak = p.getBool("Settings", "FFTPeakToPeak", true);
    s.yMode = p.getInt("Settings", "FFTYMode", 0) == 1 ? 1 : 0;
    return s;
}

bool writeSpectrumSetting(IniProfile& profile, const char* key, int value) {
    return profile.setInt("Settings", key, value);
}

std::string progressText(int percent) {
    return format("DFT Status - %d %% Done...", percent);
}

SpectralFilterDefaults loadSpectralFilterDefaults(const IniProfile& p) {
    SpectralFilterDefaults d;
    d.lowPassFreq = p.getDouble("Filter", "LowPassFreq", 1.0);
    d.lowPassPoles = p.getInt("Filter", "LowPassPoles", 6);
    d.highPassFreq = p.getDouble("Filter", "HighPassFreq", 1.0);
    d.highPassPoles = p.getInt("Filter", "HighPassPoles", 6);
    d.bandLowFreq = p.getDouble("Filter", "BandLowFreq", 0);
    d.bandHighFreq = p.getDouble("Filter", "BandHighFreq", 0);
    d.bandPassPoles = p.getInt("Filter", "BandPassPoles", 6);
    d.notchLowFreq = p.getDouble("Filter", "NotchLowFreq", 0);
    d.notchHighFreq = p.getDouble("Filter", "NotchHighFreq", 0);
    d.notchPassPoles = p.getInt("Filter", "NotchPassPoles", 6);
    return d;
}

bool saveSpectralFilterDefaults(IniProfile& p, const SpectralFilterDefaults& d) {
    bool ok = p.setString("Filter", "LowPassFreq", format("%f", d.lowPassFreq));
    ok = p.setInt("Filter", "LowPassPoles", d.lowPassPoles) && ok;
    ok = p.setString("Filter", "HighPassFreq", format("%f", d.highPassFreq)) && ok;
    ok = p.setInt("Filter", "HighPassPoles", d.highPassPoles) && ok;
    ok = p.setString("Filter", "BandLowFreq", format("%f", d.bandLowFreq)) && ok;
    ok = p.setString("Filter", "BandHighFreq", format("%f", d.bandHighFreq)) && ok;
    ok = p.setInt("Filter", "BandPassPoles", d.bandPassPoles) && ok;
    ok = p.setString("Filter", "NotchLowFreq", format("%f", d.notchLowFreq)) && ok;
    ok = p.setString("Filter", "NotchHighFreq", format("%f", d.notchHighFreq)) && ok;
    ok = p.setInt("Filter", "NotchPassPoles", d.notchPassPoles) && ok;
    return ok;
}

} // namespace tlx
