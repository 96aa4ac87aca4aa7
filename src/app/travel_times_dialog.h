// "Travel-Time Tables": the window's regional and teleseismic table files, the current table and
// its depth; OK applies them to the window (or every open window) and may save them as defaults.
#pragma once

#include "seismo/tables_dialog.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QScrollBar;

namespace tlx {
class Messages;
}

namespace tlx::app {

class EventWindow;
struct AppContext;

class CTravelTimesDialog : public QDialog {
  public:
    CTravelTimesDialog(TravelTimeTablesDialog& logic, Messages& messages, QWidget* parent = nullptr);
    void accept() override;

  private:
    void showTables();
    void showDepth();
    void change(int slot);

    TravelTimeTablesDialog& logic_;
    Messages& messages_;
    QLabel* files_[4] = {};
    QLabel* ranges_[4] = {};
    QLineEdit* depth_;
    QScrollBar* depthBar_;
    QRadioButton* modes_[3] = {};
    QCheckBox* allWindows_;
    QCheckBox* updateLocation_;
    QCheckBox* saveAsDefault_;
};

// The dialog for the active window; what OK decides reaches that window or every open one.
void editTravelTimeTables(EventWindow& active, const std::vector<EventWindow*>& all, AppContext& ctx,
                          QWidget* parent);
// "Switch Tables": the window between its regional and teleseismic tables (from IASP91 to
// regional); a table that is not loaded leaves the window as it was.
void switchTables(EventWindow& window);

} // namespace tlx::app
