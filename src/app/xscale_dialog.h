// "X-Scale": the visible span in seconds, and the lock of every event window to it.
#pragma once

#include <QDialog>

class QDoubleSpinBox;
class QCheckBox;

namespace tlx::app {

class CXScale : public QDialog {
  public:
    // `otherWindows`: more than one event window is open (the lock is offered then).
    CXScale(double seconds, bool locked, bool otherWindows, QWidget* parent = nullptr);
    double seconds() const;
    bool lockAll() const;

  private:
    QDoubleSpinBox* seconds_;
    QCheckBox* lock_;
};

} // namespace tlx::app
