// "Event File Information": the Event, Sensor and Time pages over copies of an event window's
// records; OK applies every page that was opened, Cancel discards them all.
#pragma once

#include "app/event_commands.h"

#include <QDialog>

#include <set>

class QTabWidget;

namespace tlx::app {

class EventWindow;
struct AppContext;
class CEventPage;
class CSensorPage;
class CTimePage;

class CEventInfoSheet : public QDialog {
  public:
    // `first`: 0 Event, 1 Sensor, 2 Time.
    CEventInfoSheet(EventWindow& window, AppContext& ctx, int first, QWidget* parent = nullptr);
    // Display/Modify -> Event, Sensor or Time Information.
    static void showFor(EventWindow& window, Cmd cmd, AppContext& ctx, QWidget* parent);

    void accept() override;
    QTabWidget* tabs() const { return tabs_; }

  private:
    bool leavePage(int index);

    EventWindow& window_;
    QTabWidget* tabs_;
    CEventPage* event_;
    CSensorPage* sensor_;
    CTimePage* time_;
    std::set<int> opened_;
    int shown_ = 0;
    bool switching_ = false;
};

} // namespace tlx::app
