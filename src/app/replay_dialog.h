// "WinCorvid / Corvid Replay": asks the recorder programs for an event file cut from their
// recording, waits for it and opens it.
#pragma once

#include "services/replay_request.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace tlx::app {

struct AppContext;
struct AppSettings;

// Where REPLAY.DAT is looked for: the local data folder, then the program folder; it is written
// into the first.
std::vector<std::filesystem::path> replayFolders(const AppSettings& settings);
// "Replay Settings": REPLAY.DAT edited in the settings dialog.
void editReplaySetup(AppContext& ctx, QWidget* parent);
class CMainFrame;
// The replay dialog of the open-file browser: report times from the Event Report dialog, arrived
// files opened in event windows.
void showReplay(CMainFrame& frame, AppContext& ctx);

class CCorvidReplay : public QDialog {
    Q_OBJECT
  public:
    CCorvidReplay(AppContext& ctx, QWidget* parent);
    // "&Event Report...": the chosen report's origin time (seconds since 1970, UTC); unset leaves
    // the button disabled.
    std::function<std::optional<double>()> chooseReportTime;
    // Opens an arrived file in an event window.
    std::function<void(const std::string&)> openFile;

    ReplayRequest request() const;
    std::vector<std::string> selectedNames() const;
    void setStart(const CivilTime& start);
    // "&Replay": a request for each selected channel, each waited for in turn.
    void replay();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void loadSetup();
    void saveDefaults();

    AppContext& ctx_;
    ReplaySetup setup_;
    QSpinBox* month_;
    QSpinBox* day_;
    QSpinBox* year_;
    QSpinBox* hour_;
    QSpinBox* minute_;
    QComboBox* zone_;
    QLabel* reportTime_;
    QListWidget* channels_;
    QSpinBox* minutes_;
    QSpinBox* saveNth_;
    QCheckBox* mode_;
    QPushButton* report_;
};

} // namespace tlx::app
