#include "app/spectral_filter_dialog.h"

#include "core/text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>

namespace tlx::app {
namespace {

const char* titleOf(SpectralFilterKind kind) {
    switch (kind) {
    case SpectralFilterKind::LowPass:
        return "Low-Pass Filter - %s";
    case SpectralFilterKind::HighPass:
        return "High-Pass Filter - %s";
    case SpectralFilterKind::BandPass:
        return "Band-Pass Filter - %s";
    default:
        return "Notch Filter - %s";
    }
}

QDoubleSpinBox* frequencyField(double value, double minimum) {
    auto* f = new QDoubleSpinBox;
    f->setDecimals(4);
    f->setRange(minimum, 1000);
    f->setValue(value);
    return f;
}

} // namespace

CSpectralFilter::CSpectralFilter(SpectralFilterKind kind, const std::string& sensorId, IniProfile& ini,
                                 QWidget* parent)
    : QDialog(parent), kind_(kind), ini_(ini), defaults_(loadSpectralFilterDefaults(ini)) {
    setObjectName("Filter");
    setWindowTitle(QString::fromStdString(format(titleOf(kind), sensorId.c_str())));
    auto* form = new QFormLayout(this);
    poles_ = new QSpinBox;
    poles_->setRange(1, 128);
    const SpectralFilterDefaults& d = defaults_;
    switch (kind) {
    case SpectralFilterKind::LowPass:
    case SpectralFilterKind::HighPass: {
        const bool low = kind == SpectralFilterKind::LowPass;
        first_ = frequencyField(low ? d.lowPassFreq : d.highPassFreq, 0.0001);
        poles_->setValue(low ? d.lowPassPoles : d.highPassPoles);
        form->addRow("Cutoff &Freq:", first_);
        break;
    }
    default: {
        const bool band = kind == SpectralFilterKind::BandPass;
        first_ = frequencyField(band ? d.bandHighFreq : d.notchHighFreq, 0);
        second_ = frequencyField(band ? d.bandLowFreq : d.notchLowFreq, 0);
        poles_->setValue(band ? d.bandPassPoles : d.notchPassPoles);
        form->addRow("High-Pass Cutoff &Freq:", first_);
        form->addRow("&Low-Pass Cutoff Freq:", second_);
        break;
    }
    }
    form->addRow("&Poles:", poles_);
    saveDefault_ = new QCheckBox("&Save as Default");
    form->addRow(saveDefault_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

double CSpectralFilter::highCutoff() const {
    return first_->value();
}

double CSpectralFilter::lowCutoff() const {
    return second_ ? second_->value() : 0;
}

int CSpectralFilter::poles() const {
    return poles_->value();
}

void CSpectralFilter::accept() {
    if (saveDefault_->isChecked()) {
        SpectralFilterDefaults& d = defaults_;
        switch (kind_) {
        case SpectralFilterKind::LowPass:
            d.lowPassFreq = highCutoff(), d.lowPassPoles = poles();
            break;
        case SpectralFilterKind::HighPass:
            d.highPassFreq = highCutoff(), d.highPassPoles = poles();
            break;
        case SpectralFilterKind::BandPass:
            d.bandHighFreq = highCutoff(), d.bandLowFreq = lowCutoff(), d.bandPassPoles = poles();
            break;
        case SpectralFilterKind::Notch:
            d.notchHighFreq = highCutoff(), d.notchLowFreq = lowCutoff(), d.notchPassPoles = poles();
            break;
        }
        saveSpectralFilterDefaults(ini_, d);
    }
    QDialog::accept();
}

} // namespace tlx::app
