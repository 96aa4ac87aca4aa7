// "Time Domain Filtering": the modeless filter dialog of one event window, a thin face over
// CTimeFilter. It stays with its window once opened, so that it shows that window's last values.
#pragma once

#include "dsp/time_filter.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace tlx::app {

class EventWindow;
struct AppContext;

class CFilterDialog : public QDialog {
    Q_OBJECT
  public:
    CFilterDialog(EventWindow& window, AppContext& ctx);
    // Opens (or raises) the dialog of `window`.
    static CFilterDialog* showFor(EventWindow& window, AppContext& ctx);

    // "&Close": values go back to the window, with "&Save as default" to the settings file.
    void done(int result) override;

  private:
    void start();
    void showSettings();
    void readControls();
    void updateStates();
    void fillPresets();
    void applyFilter();
    void undoFilter();
    void addPreset();

    EventWindow& window_;
    AppContext& ctx_;
    CTimeFilter logic_;
    TimeFilterSettings windowSettings_; // what the window holds while it is open
    QCheckBox* lowPass_;
    QLineEdit* lowCutoff_;
    QComboBox* lowPoles_;
    QCheckBox* highPass_;
    QLineEdit* highCutoff_;
    QComboBox* highPoles_;
    QCheckBox* extended_;
    QLineEdit* sensorPeriod_;
    QLineEdit* sensorQ_;
    QLineEdit* extendedHighPass_;
    QCheckBox* backward_;
    QComboBox* presets_;
    QPushButton* update_;
    QPushButton* add_;
    QPushButton* save_;
    QPushButton* remove_;
    QCheckBox* saveDefault_;
    QPushButton* apply_;
    QPushButton* undo_;
};

} // namespace tlx::app
