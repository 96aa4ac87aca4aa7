#include "app/xscale_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>

namespace tlx::app {

CXScale::CXScale(double seconds, bool locked, bool otherWindows, QWidget* parent) : QDialog(parent) {
    setWindowTitle("X-Scale");
    auto* form = new QFormLayout(this);
    seconds_ = new QDoubleSpinBox;
    // Any value is taken: the window's rule turns it into a span that fits the record.
    seconds_->setRange(-1e9, 1e9);
    seconds_->setDecimals(1);
    seconds_->setValue(seconds);
    lock_ = new QCheckBox("&Update and Lock All Event Windows");
    lock_->setEnabled(otherWindows);
    lock_->setChecked(locked && otherWindows);
    form->addRow("&Seconds:", seconds_);
    form->addRow(lock_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

double CXScale::seconds() const {
    return seconds_->value();
}
bool CXScale::lockAll() const {
    return lock_->isChecked();
}

} // namespace tlx::app
