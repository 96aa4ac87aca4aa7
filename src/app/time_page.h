// The Time page of the "Event File Information" sheet: start time, offset and clock reference.
#pragma once

#include "core/messages.h"
#include "document/record_info_edit.h"

#include <QWidget>

class QComboBox;
class QLineEdit;

namespace tlx::app {

class CTimePage : public QWidget {
  public:
    CTimePage(const EventRecord& selected, Messages& messages, QWidget* parent = nullptr);
    bool leave();
    const TimeValues& values() const { return values_; }

  private:
    TimeValues values_;
    Messages& messages_;
    QLineEdit *date_, *time_, *millis_, *offset_;
    QComboBox *timeRef_, *lock_;
};

} // namespace tlx::app
