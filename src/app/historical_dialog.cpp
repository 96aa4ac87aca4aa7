#include "app/historical_dialog.h"

#include "core/messages.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>

namespace tlx::app {

namespace {

QDateEdit* dateEdit(const CivilDate& d, const char* name) {
    auto* edit = new QDateEdit(QDate(d.year, d.month, d.day));
    edit->setObjectName(name);
    edit->setDisplayFormat("MM/dd/yyyy");
    edit->setDateRange(QDate(1900, 1, 1), QDate(2100, 12, 31));
    return edit;
}

QDoubleSpinBox* magnitudeBox(double value, const char* name) {
    auto* box = new QDoubleSpinBox;
    box->setObjectName(name);
    box->setRange(0.1, 10);
    box->setSingleStep(0.1);
    box->setDecimals(1);
    box->setValue(value);
    return box;
}

CivilDate civil(const QDate& d) {
    return {d.year(), d.month(), d.day()};
}

} // namespace

CHistoricalLookup::CHistoricalLookup(const HistoricalValues& values, Messages& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
    setWindowTitle("Historical Data Lookup");
    auto* form = new QFormLayout(this);
    start_ = dateEdit(values.start, "start");
    end_ = dateEdit(values.end, "end");
    minMag_ = magnitudeBox(values.minMagnitude, "minMagnitude");
    maxMag_ = magnitudeBox(values.maxMagnitude, "maxMagnitude");
    form->addRow("&Start Date:", start_);
    form->addRow("&End Date:", end_);
    form->addRow("M&inimum Magnitude:", minMag_);
    form->addRow("M&aximum Magnitude:", maxMag_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CHistoricalLookup::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

HistoricalValues CHistoricalLookup::values() const {
    return {civil(start_->date()), civil(end_->date()), minMag_->value(), maxMag_->value()};
}

void CHistoricalLookup::accept() {
    std::string error;
    if (!queryFromValues(values(), query_, error)) {
        messages_.error(error);
        return;
    }
    QDialog::accept();
}

} // namespace tlx::app
