// "Phase Control": the extra phases shown in the event windows, chosen from the table files of
// the tables directory or from IASP91.
#pragma once

#include "seismo/phase_control.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;

namespace tlx::app {

class EventWindow;
struct AppContext;

class CPhaseControlDialog : public QDialog {
  public:
    CPhaseControlDialog(PhaseControl& logic, Messages& messages, QWidget* parent = nullptr);

  private:
    void fill();
    void showFiles();
    static std::vector<std::size_t> picked(const QListWidget* list);

    PhaseControl& logic_;
    Messages& messages_;
    QListWidget* selected_;
    QListWidget* candidates_;
    QLabel* selectedFile_;
    QLabel* candidateFile_;
    QCheckBox* iasp91_;
};

// The dialog over the program's tables: OK writes the list and redraws every window; Cancel after
// changes reads phases.dat again so that the list is the file's.
void editPhases(const std::vector<EventWindow*>& windows, AppContext& ctx, QWidget* parent);

} // namespace tlx::app
