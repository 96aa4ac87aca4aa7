#include "app/time_page.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

namespace tlx::app {

CTimePage::CTimePage(const EventRecord& selected, Messages& messages, QWidget* parent)
    : QWidget(parent), messages_(messages) {
    const TimeForm f = timeForm(selected);
    auto* form = new QFormLayout(this);
    auto edit = [](const std::string& text, const char* name) {
        auto* e = new QLineEdit(QString::fromStdString(text));
        e->setObjectName(name);
        return e;
    };
    date_ = edit(f.date, "date");
    time_ = edit(f.time, "time");
    millis_ = edit(f.millis, "millis");
    offset_ = edit(f.offset, "offset");
    timeRef_ = new QComboBox;
    timeRef_->addItems({"None", "GPS", "WWV", "WWVB", "DCF77", "NTP", "Other"});
    timeRef_->setCurrentIndex(f.timeRef);
    lock_ = new QComboBox;
    lock_->addItems({"Not Locked", "Was Locked", "Locked"});
    lock_->setCurrentIndex(f.lock);
    form->addRow("UTC &Date (mm/dd/yyyy):", date_);
    form->addRow("UTC &Time (hh:mm:ss):", time_);
    form->addRow("&Milliseconds (0..999):", millis_);
    form->addRow("Start Time &Offset (+/- seconds):", offset_);
    form->addRow("Time &Reference:", timeRef_);
    form->addRow("&Status:", lock_);
}

bool CTimePage::leave() {
    const TimeForm f{date_->text().toStdString(),   time_->text().toStdString(),
                     millis_->text().toStdString(), offset_->text().toStdString(),
                     timeRef_->currentIndex(),      lock_->currentIndex()};
    if (const auto refusal = readTimeForm(f, values_)) {
        messages_.error(refusal->message);
        (refusal->field == InfoField::Offset ? offset_ : date_)->setFocus();
        return false;
    }
    return true;
}

} // namespace tlx::app
