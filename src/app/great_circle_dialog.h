// "Great Circle Distance Calculator": event and station positions typed in, distance, azimuths
// and regions shown beside them.
#pragma once

#include "seismo/great_circle_calculator.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;

namespace tlx::app {

class CWorldistDialog : public QDialog {
  public:
    explicit CWorldistDialog(QWidget* parent = nullptr);
    // "C&alculate".
    void calculate();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::array<QLineEdit*, 4> inputs_{}; // event latitude, longitude, station latitude, longitude
    std::array<QLabel*, 4> echo_{};
    QLabel* eventRegion_;
    QLabel* stationRegion_;
    QLabel* distance_;
    QLabel* azimuthEventToStation_;
    QLabel* azimuthStationToEvent_;
};

} // namespace tlx::app
