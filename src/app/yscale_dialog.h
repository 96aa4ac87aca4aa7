// The "Y-Scale" dialog: display mode, full-scale value and unit, grid lines, and where they apply.
#pragma once

#include "app/app_settings.h"
#include "views/eq_view_model.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class QCheckBox;
class QButtonGroup;

namespace tlx::app {

class CYScale : public QDialog {
  public:
    // `otherWindows`: more than one event window is open ("All Windows" enabled).
    CYScale(const views::EqViewModel& model, const AppSettings& settings, bool otherWindows,
            QWidget* parent = nullptr);
    YScaleChoice choice() const;

  private:
    void fillUnits();

    const views::EqViewModel& model_;
    QButtonGroup* modes_;
    QDoubleSpinBox* value_;
    QComboBox* units_;
    QSpinBox* lines_;
    QCheckBox* allRecords_;
    QCheckBox* allWindows_;
    QCheckBox* centimetres_;
    QCheckBox* asDefault_;
};

} // namespace tlx::app
