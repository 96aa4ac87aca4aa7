// "RMS/Max/Min": the modeless read-out of the visible part of an event window's current record,
// measured again whenever the window redraws (scroll, zoom, crop, reset, filters).
#pragma once

#include "dsp/rms.h"

#include <QDialog>

class QLabel;
class QRadioButton;

namespace tlx::app {

class EventWindow;
struct AppContext;

class CRmsDialog : public QDialog {
    Q_OBJECT
  public:
    CRmsDialog(EventWindow& window, AppContext& ctx);
    static CRmsDialog* showFor(EventWindow& window, AppContext& ctx);

    void measure();
    QString readout() const;
    // Writes "RmsPos".
    void done(int result) override;

  private:
    RmsUnits units() const;

    EventWindow& window_;
    AppContext& ctx_;
    QRadioButton* units_[4];
    QLabel* text_;
};

} // namespace tlx::app
