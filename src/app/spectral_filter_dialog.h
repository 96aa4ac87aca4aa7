// "Filter": the spectral low-pass and high-pass (cutoff and poles) and band-pass and notch (two
// cutoffs and poles) dialogs of the spectrum window, with "&Save as Default".
#pragma once

#include "core/ini_profile.h"
#include "dsp/spectrum_settings.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;

namespace tlx::app {

enum class SpectralFilterKind { LowPass, HighPass, BandPass, Notch };

class CSpectralFilter : public QDialog {
  public:
    CSpectralFilter(SpectralFilterKind kind, const std::string& sensorId, IniProfile& ini,
                    QWidget* parent = nullptr);
    SpectralFilterKind kind() const { return kind_; }
    // Low- and high-pass: the cutoff; band-pass and notch: the high-pass cutoff.
    double highCutoff() const;
    double lowCutoff() const; // band-pass and notch only
    int poles() const;
    void accept() override;

    QDoubleSpinBox* firstField() { return first_; }
    QDoubleSpinBox* secondField() { return second_; }
    QSpinBox* polesField() { return poles_; }

  private:
    SpectralFilterKind kind_;
    IniProfile& ini_;
    SpectralFilterDefaults defaults_;
    QDoubleSpinBox* first_;
    QDoubleSpinBox* second_ = nullptr;
    QSpinBox* poles_;
    QCheckBox* saveDefault_;
};

} // namespace tlx::app
