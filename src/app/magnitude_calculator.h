// "Magnitude Calculator": magnitudes from typed values, and the displacement or correction that
// gives a typed magnitude; started with the current record's values and the window's distance.
#pragma once

#include "seismo/mag_calc.h"
#include "views/eq_view_model.h"
#include "views/seismo_readouts.h"

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;

namespace tlx {
class Messages;
}

namespace tlx::app {

class CMagCalcDialog : public QDialog {
  public:
    CMagCalcDialog(views::EqViewModel& model, const views::SeismoTables& tables, Messages& messages,
                   QWidget* parent = nullptr);

    // "&Reset": the record's amplitude, sensor values and the window's distance and periods.
    void reset();
    // "C&lear".
    void clear();
    // "&Calculate": a magnitude typed since the last calculation is first solved backwards for
    // the correction (a "Mag Corr && Counts" field) or the displacement (the others).
    void calculate() { compute(true); }
    // "&Help": the manual's page on magnitudes.
    std::function<void()> onHelp;

  private:
    enum Field {
        Displacement,
        Counts,
        Sensitivity,
        Correction,
        Km,
        Degrees,
        Miles,
        MinusLogA0,
        Ml,
        MlCorr,
        Ms,
        MsCorr,
        Mb,
        MbCorr,
        MsPeriod,
        MbPeriod,
        MbDepth,
        MbTerm,
        FieldCount
    };
    QLineEdit* edit(Field f) const { return edits_[f]; }
    void distanceEdited(Field from);
    MagCalcValues values() const;
    // `fill`: displacement, counts or sensitivity completed from the other two.
    void compute(bool fill);

    // "M&s Period" and "M&b Period": measured as the period commands do.
    void measurePeriod(bool ms);

    views::EqViewModel& model_;
    Messages& messages_;
    AttenuationTables attenuation_; // the record's station table or magtbl.dat; empty: no Ml
    QLineEdit* edits_[FieldCount] = {};
    int typed_ = -1;         // the magnitude field typed into since the last calculation
    bool termTyped_ = false; // the Mb distance term is the user's, not the formula's
};

} // namespace tlx::app
