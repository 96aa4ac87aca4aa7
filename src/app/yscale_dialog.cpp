#include "app/yscale_dialog.h"

#include "core/text.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tlx::app {
namespace {
const double kMultipliers[] = {1e9, 1e6, 1e3, 100, 1, 0.001, 1e-6};
}

CYScale::CYScale(const views::EqViewModel& model, const AppSettings& settings, bool otherWindows,
                 QWidget* parent)
    : QDialog(parent), model_(model) {
    const int cur = model.currentRecord();
    const EventRecord& r = *model.sources()[static_cast<std::size_t>(cur)].record;
    setWindowTitle(QString::fromStdString(format("Y-Scale - %s", r.stationName().c_str())));
    auto* layout = new QVBoxLayout(this);
    modes_ = new QButtonGroup(this);
    const std::pair<const char*, int> modes[] = {{"A/D Counts", views::kModeCounts},
                                                 {"Volts - A/D Input", views::kModeVoltsAd},
                                                 {"Volts - Amp Input", views::kModeVoltsAmp},
                                                 {"Sensor Units", views::kModeSensor}};
    for (const auto& [text, mode] : modes) {
        auto* b = new QRadioButton(text);
        b->setEnabled(views::modeAvailable(mode, r));
        b->setChecked(mode == model.scale(cur).mode);
        modes_->addButton(b, mode);
        layout->addWidget(b);
    }
    auto* form = new QFormLayout;
    value_ = new QDoubleSpinBox;
    value_->setRange(0.001, 1e9);
    value_->setDecimals(3);
    value_->setValue(model.scale(cur).fullScale);
    units_ = new QComboBox;
    lines_ = new QSpinBox;
    lines_->setRange(1, 20);
    lines_->setValue(model.options().yLines);
    form->addRow("Full scale:", value_);
    form->addRow("Units:", units_);
    form->addRow("Grid lines:", lines_);
    layout->addLayout(form);
    allRecords_ = new QCheckBox("All Records");
    allRecords_->setEnabled(model.sources().size() > 1);
    allRecords_->setChecked(settings.allYRecords && model.sources().size() > 1);
    allWindows_ = new QCheckBox("All Windows");
    allWindows_->setEnabled(otherWindows);
    allWindows_->setChecked(settings.allYWindows && otherWindows);
    centimetres_ = new QCheckBox("Display Centimeters");
    centimetres_->setChecked(model.options().cmDspOk);
    asDefault_ = new QCheckBox("Use as Default");
    asDefault_->setChecked(settings.yDefault.on);
    for (QCheckBox* c : {allRecords_, allWindows_, centimetres_, asDefault_})
        layout->addWidget(c);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(modes_, &QButtonGroup::idClicked, this, [this] { fillUnits(); });
    fillUnits();
}

void CYScale::fillUnits() {
    units_->clear();
    const double current = model_.scale(model_.currentRecord()).multiplier;
    for (double m : kMultipliers) {
        const std::string name = views::unitName(modes_->checkedId(), m);
        if (name.empty()) continue;
        units_->addItem(QString::fromStdString(name), m);
        if (m == current) units_->setCurrentIndex(units_->count() - 1);
    }
}

YScaleChoice CYScale::choice() const {
    YScaleChoice c;
    c.mode = modes_->checkedId();
    c.fullScale = value_->value();
    c.multiplier = units_->currentData().toDouble();
    c.yLines = lines_->value();
    c.allRecords = allRecords_->isChecked();
    c.allWindows = allWindows_->isChecked();
    c.centimetres = centimetres_->isChecked();
    c.asDefault = asDefault_->isChecked();
    return c;
}

} // namespace tlx::app
