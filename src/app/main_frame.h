// CMainFrame: the multiple-document frame with menus, tool bar and the five status panes. Its
// menus, the event windows' context menu and the tool bar are built from the one command table
// (event_commands.h); it opens event windows and runs the unattended print and picture modes.
#pragma once

#include "app/app_settings.h"
#include "app/command_line.h"
#include "app/event_commands.h"
#include "app/gui_messages.h"
#include "record/loader.h"
#include "services/geography.h"
#include "services/historical_query.h"
#include "services/remote_request.h"
#include "services/replay_request.h"
#include "services/report_list.h"
#include "views/seismo_readouts.h"
#include "views/view_style.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <map>
#include <memory>

class QMdiArea;
class QLabel;
class QMenu;

namespace tlx::app {

class EventWindow;
class CPhaseTimes;
class CMapWindow;

struct AppContext {
    SeismoGeography geography; // great circles and region names for the readers and writers
    IniProfile ini;
    AppSettings settings;
    views::ViewStyle style;
    GuiMessages messages;
    std::unique_ptr<EventLoader> loader;
    views::SeismoTables seismo;
    CommandLine commandLine;
    std::optional<ReplayChoice> lastReplay;
    RemoteRequestForm remoteForm; // the time window of the last remote request
    int exitCode = 0;
    ReportList reports;                                  // the application-wide report list
    std::optional<HistoricalValues> lastHistoricalQuery; // this run's last historical look-up
};

class CMainFrame : public QMainWindow {
    Q_OBJECT
  public:
    explicit CMainFrame(AppContext& context);
    ~CMainFrame() override;

    // Opens one to three files (or channels of one data set) in a new event window; null when
    // nothing could be read.
    EventWindow* openFiles(const std::vector<std::string>& paths, LoadMode mode = LoadMode::Interactive);
    EventWindow* openRequest(const OpenRequest& request, LoadMode mode = LoadMode::Interactive);
    // Files named on the command line: directories become the event folder, a data set goes to
    // the channel choice; when nothing opens, the open dialog follows.
    void openCommandLineFiles(const std::vector<std::string>& names);
    // Files handed over by a second start: the frame comes to the front and each opens alone.
    void openHandedFiles(const std::vector<std::string>& paths);
    EventWindow* activeEventWindow() const;
    std::vector<EventWindow*> eventWindows() const;

    // Every menu entry, context-menu entry and tool button ends here.
    void run(Cmd cmd);
    QAction* action(Cmd cmd) const { return actions_.at(cmd); }
    // The context menu of an event window, as it would be shown at `at` (tests).
    std::unique_ptr<QMenu> contextMenu(EventWindow* window, QPoint at);

    // The unattended modes: a 500 ms timer opens the file at tick 2, prints or renders it at
    // tick 5 and closes the program after tick 10.
    void startBatch();
    // For tests and the start-up figure: called after the first paint of an event window.
    void setFirstPaintCallback(std::function<void()> callback) { firstPaint_ = std::move(callback); }
    // Main window placement from FramePos (default: the desktop less a twentieth of its height).
    void placeWindow(const QRect& desktop);

    bool writeGif(EventWindow* window, const std::string& path);
    bool printWindow(EventWindow* window, bool dialog);

  protected:
    void closeEvent(QCloseEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createActions();
    void rebuildMenus();
    void fillMenu(QMenu* menu, const std::vector<MenuItem>& items);
    void updateActions();
    void hostCommand(Cmd cmd, EventWindow* window);
    bool saveDocument(EventWindow& window, SaveMode mode, int slot);
    void xScale(EventWindow& window);
    void yScale(EventWindow& window);
    void showStatus(const QStringList& panes);
    void batchTick();
    void openDialog();
    // False when `cmd` is not a colour (font) command.
    bool chooseColor(Cmd cmd);
    bool chooseFont(Cmd cmd);
    void applyStyle();
    void toggleBar(Cmd cmd);
    // The recent files and directories (recent_menu.cpp).
    void noteRecent(const std::vector<std::string>& files);
    void addRecentEntries(QMenu* file);

  public:
    bool timeLocked() const { return timeLock_.on; }
    // X-Scale on a window: its span, and with `lockAll` the same left edge and span everywhere.
    void setXScale(EventWindow& window, double seconds, bool lockAll);

  private:
    void wireWindow(EventWindow* window);
    // The application's time lock: every event window shows the same left edge and span.
    void followTimeLock(EventWindow* source);
    // View > Locate Event: the one location map (map_window.cpp); it follows the windows' markers.
    void showLocationMap();
    void refreshLocationMap();

    AppContext& ctx_;
    QMdiArea* mdi_;
    QLabel* panes_[5];
    QToolBar* tools_ = nullptr;
    std::map<Cmd, QAction*> actions_;
    int menuSet_ = -1; // 0 without event windows, 1 with
    struct TimeLock {
        bool on = false;
        std::int64_t leftMs = 0;
        double spanSeconds = 0;
    } timeLock_;
    bool followingLock_ = false;
    // "Phase Times" follows the active window's markers while it is shown.
    QPointer<CPhaseTimes> phaseTimes_;
    QPointer<CMapWindow> map_;
    QTimer batchTimer_;
    int ticks_ = 0;
    EventWindow* batchWindow_ = nullptr;
    std::function<void()> firstPaint_;
};

} // namespace tlx::app
