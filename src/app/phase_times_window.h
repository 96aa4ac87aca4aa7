// "Phase Times": origin, P, S and the shown extra phases of the active event window with their
// times of day and their times after the origin. Its position is kept in "PhaseTimePos".
#pragma once

#include "seismo/extra_phases.h"

#include <QDialog>
#include <QPointer>

#include <vector>

class QTableWidget;

namespace tlx {
class IniProfile;
}

namespace tlx::app {

class EventWindow;
struct AppContext;

class CPhaseTimes : public QDialog {
  public:
    CPhaseTimes(IniProfile& ini, QWidget* parent = nullptr);
    void showRows(const std::vector<PhaseTimeRow>& rows);

  protected:
    void hideEvent(QHideEvent* event) override;

  private:
    IniProfile& ini_;
    QTableWidget* table_;
};

// The rows for a window: empty without a P-S distance.
std::vector<PhaseTimeRow> phaseTimesOf(EventWindow& window, const AppContext& ctx);
// Shows the program's one "Phase Times" window (made in `shown` when there is none yet) for an
// event window.
CPhaseTimes* showPhaseTimes(EventWindow& window, AppContext& ctx, QPointer<CPhaseTimes>& shown,
                            QWidget* frame);

} // namespace tlx::app
