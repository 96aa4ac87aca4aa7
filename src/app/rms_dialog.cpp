#include "app/rms_dialog.h"

#include "app/dialog_placement.h"
#include "app/event_window.h"
#include "app/main_frame.h"
#include "core/text.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace tlx::app {

CRmsDialog::CRmsDialog(EventWindow& window, AppContext& ctx)
    : QDialog(&window, Qt::Dialog), window_(window), ctx_(ctx) {
    setModal(false);
    text_ = new QLabel;
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text_->setMinimumWidth(220);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* display = new QGroupBox("Display");
    auto* radios = new QVBoxLayout(display);
    const char* names[] = {"A/&D Counts", "A/D &Volts", "&Amp Volts", "&Sensor Units"};
    for (int i = 0; i < 4; ++i) {
        units_[i] = new QRadioButton(names[i]);
        radios->addWidget(units_[i]);
        connect(units_[i], &QRadioButton::toggled, this, [this](bool on) {
            if (on) measure();
        });
    }
    units_[0]->setChecked(true);
    auto* close = new QPushButton("&Close");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(text_, 1);
    row->addWidget(display);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(close, 0, Qt::AlignRight);
    restorePlacement(this, ctx.ini, "RmsPos");
    // Every redraw of the window measures again.
    connect(window.view(), &views::CEqView::readoutsChanged, this, [this] {
        if (isVisible()) measure();
    });
}

CRmsDialog* CRmsDialog::showFor(EventWindow& window, AppContext& ctx) {
    auto* dialog = window.findChild<CRmsDialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog) dialog = new CRmsDialog(window, ctx);
    dialog->show();
    dialog->measure();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

RmsUnits CRmsDialog::units() const {
    const RmsUnits all[] = {RmsUnits::AdCounts, RmsUnits::AdVolts, RmsUnits::AmpVolts, RmsUnits::SensorUnits};
    for (int i = 0; i < 4; ++i)
        if (units_[i]->isChecked()) return all[i];
    return RmsUnits::AdCounts;
}

void CRmsDialog::measure() {
    const CEqDoc& doc = window_.doc();
    const views::EqViewModel& model = window_.view()->model();
    const int slot = doc.currentRecord();
    const std::span<const double> samples = doc.samples(slot);
    // v = trunc(rate x visible span) samples from the first visible one.
    const long first = model.visibleSamples(slot).first;
    const long wanted = static_cast<long>(doc.sps() * model.spanSeconds());
    const long count = std::clamp(wanted, 0L, static_cast<long>(samples.size()) - first);
    std::vector<double> visible(samples.begin() + first, samples.begin() + first + count);
    // Inverted data are measured as drawn: negated, around the offset of the negated statistics.
    if (model.options().invert)
        for (double& x : visible)
            x = -x;
    const RmsValues v = measureRms(visible, model.offset(slot));
    const EventRecord& r = doc.record(slot);
    const RmsCalibration calibration{r.info.adVolts, r.header.adBits, r.info.ampGain, r.header.sensitivity,
                                     r.header.sensorType};
    text_->setText(QString::fromStdString(rmsText(v, units(), calibration)).remove('\r'));
    const std::string id(trim(std::string_view(r.header.sensorId, strnlen(r.header.sensorId, 6))));
    setWindowTitle(doc.recordCount() > 1 ? QString::fromStdString(format("RMS/Max/Min - %s", id.c_str()))
                                         : QString("RMS/Max/Min"));
}

QString CRmsDialog::readout() const {
    return text_->text();
}

void CRmsDialog::done(int result) {
    storePlacement(this, ctx_.ini, "RmsPos");
    QDialog::done(result);
}

} // namespace tlx::app
