// The "Y-Scale" dialog: display mode, full-scale value and unit, grid lines, and where they apply.
#pragma once

#include "core/ini_profile.h"
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
    CYScale(views::EqViewModel& model, IniProfile& ini, QWidget* parent = nullptr);
    void accept() override;

private:
    void fillUnits();

    views::EqViewModel& model_;
    IniProfile& ini_;
    QButtonGroup* modes_;
    QDoubleSpinBox* value_;
    QComboBox* units_;
    QSpinBox* lines_;
    QCheckBox* allRecords_;
    QCheckBox* centimetres_;
    QCheckBox* asDefault_;
};

} // namespace tlx::app
