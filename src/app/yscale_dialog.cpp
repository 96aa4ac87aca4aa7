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

CYScale::CYScale(views::EqViewModel& model, IniProfile& ini, QWidget* parent) : QDialog(parent), model_(model), ini_(ini) {
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
    centimetres_ = new QCheckBox("Display Centimeters");
    centimetres_->setChecked(model.options().cmDspOk);
    asDefault_ = new QCheckBox("Use as Default");
    for (QCheckBox* c : {allRecords_, centimetres_, asDefault_}) layout->addWidget(c);
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

void CYScale::accept() {
    const int mode = modes_->checkedId();
    const bool all = allRecords_->isChecked();
    model_.options().cmDspOk = centimetres_->isChecked();
    model_.options().yLines = lines_->value();
    if (!model_.setMode(mode, all)) return QDialog::reject();
    const double multiplier = units_->currentData().toDouble();
    for (int slot = 0; slot < static_cast<int>(model_.sources().size()); ++slot)
        if (slot == model_.currentRecord() || (all && model_.scale(slot).mode == mode)) model_.setFullScale(slot, value_->value(), multiplier);
    ini_.setInt("Settings", "AllYRecords", all ? 1 : 0);
    ini_.setInt("Settings", "CmDspOk", centimetres_->isChecked() ? 1 : 0);
    ini_.setInt("Settings", "YLines", lines_->value());
    if (asDefault_->isChecked()) {
        ini_.setString("Settings", "YDefMax", format("%g", value_->value()));
        ini_.setString("Settings", "YDefMult", format("%g", multiplier));
        ini_.setInt("Settings", "YDefMode", mode);
    }
    ini_.setInt("Settings", "YDefOnOff", asDefault_->isChecked() ? 1 : 0);
    QDialog::accept();
}

} // namespace tlx::app
