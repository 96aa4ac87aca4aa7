// CMainFrame: the multiple-document frame with menus, tool bar and the five status panes; it
// opens event windows and runs the unattended print and picture modes.
#pragma once

#include "app/app_settings.h"
#include "app/command_line.h"
#include "app/gui_messages.h"
#include "record/loader.h"
#include "views/seismo_readouts.h"
#include "views/view_style.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>

class QMdiArea;
class QLabel;

namespace tlx::app {

class EventWindow;

struct AppContext {
    IniProfile ini;
    AppSettings settings;
    views::ViewStyle style;
    GuiMessages messages;
    std::unique_ptr<EventLoader> loader;
    views::SeismoTables seismo;
    CommandLine commandLine;
    int exitCode = 0;
};

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(AppContext& context);

    // Opens one to three files in a new event window; false when none could be read.
    EventWindow* openFiles(const std::vector<std::string>& paths, LoadMode mode = LoadMode::Interactive);
    EventWindow* activeEventWindow() const;
    // The unattended modes: a 500 ms timer opens the file at tick 2, prints or renders it at
    // tick 5 and closes the program after tick 10.
    void startBatch();
    // For tests and the start-up figure: called after the first paint of an event window.
    void setFirstPaintCallback(std::function<void()> callback) { firstPaint_ = std::move(callback); }

    bool writeGif(EventWindow* window, const std::string& path);
    bool printWindow(EventWindow* window, bool dialog);

protected:
    void closeEvent(QCloseEvent*) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void showStatus(const QStringList& panes);
    void batchTick();
    void openDialog();
    void saveAs();
    void withView(const std::function<void(EventWindow&)>& action);
    void chooseColor(const char* key, views::Rgb views::ViewColors::*member);
    void chooseFont(const char* section, views::FontSpec views::ViewStyle::*member, bool markers);
    void applyStyle();
    void setOption(const char* key, bool views::ViewOptions::*member);

    AppContext& ctx_;
    QMdiArea* mdi_;
    QLabel* panes_[5];
    QTimer batchTimer_;
    int ticks_ = 0;
    EventWindow* batchWindow_ = nullptr;
    std::function<void()> firstPaint_;
};

} // namespace tlx::app
