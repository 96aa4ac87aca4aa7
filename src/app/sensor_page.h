// The Sensor page of the "Event File Information" sheet: the selected record's sensor.
#pragma once

#include "core/messages.h"
#include "document/record_info_edit.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tlx::app {

class CSensorPage : public QWidget {
  public:
    CSensorPage(const EventRecord& selected, Messages& messages, QWidget* parent = nullptr);
    // The checks made when the page is left; false (after the message) keeps it open.
    bool leave();
    const SensorValues& values() const { return values_; }

  private:
    QLineEdit* addField(const char* label, std::string SensorForm::*member, int maxLength = 0);
    void pull();
    void push();
    void updateState();

    SensorForm form_;
    SensorValues values_;
    Messages& messages_;
    std::vector<std::pair<QLineEdit*, std::string SensorForm::*>> fields_;
    QLabel *latShown_ = nullptr, *lonShown_ = nullptr;
    QComboBox *orientation_ = nullptr, *sensorType_ = nullptr;
    QPushButton* calcSens_ = nullptr;
    QLineEdit* sensitivity_ = nullptr;
};

} // namespace tlx::app
