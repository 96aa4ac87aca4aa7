// One event window: the text panel above the seismogram in a splitter, with scroll bars.
#pragma once

#include "app/app_settings.h"
#include "app/event_commands.h"
#include "seismo/travel_times.h"
#include "views/eq_view.h"
#include "views/event_session.h"
#include "views/text_view.h"

#include <QWidget>

#include <memory>

class QScrollBar;
class QPrinter;

namespace tlx::app {

class EventWindow : public QWidget {
    Q_OBJECT
  public:
    EventWindow(const AppSettings& settings, const views::ViewStyle& style, QWidget* parent = nullptr);
    // Its dialogs go first: they watch the session, which dies before the widget's children.
    ~EventWindow() override;
    // Opens one to three files (or channels of one data set) through the event session, with the
    // program's tables.
    bool load(const OpenRequest& request, const views::SeismoTables& tables, EventLoader& loader,
              Messages& messages, IniProfile* ini, LoadMode mode);
    // The window as the command table sees it.
    WindowContext context();
    // The caption and scroll bars the window opens with.
    void setFrame(const WindowFrame& frame);
    bool autoFft() const { return frame_.autoFft; }
    void setAutoFft(bool on) { frame_.autoFft = on; }

    views::CEqView* view() { return view_; }
    views::CTextView* textView() { return text_; }
    const views::EventSlots& records() const { return session_->traces(); }
    CEqDoc& doc() { return session_->doc(); }
    views::EventSession& session() { return *session_; }
    void setStyle(const views::ViewStyle& style);

    // Picture of GIF export at the configured size, written to `path`.
    bool saveGif(const std::string& path, int width, int height, std::string& message);
    bool print(QPrinter& printer, const views::PrintSettings& settings);
    QImage copyImage(int which); // 0 both, 1 seismogram, 2 text

    void refresh();
    // Set while the context menu opened at that point is shown.
    std::optional<views::Point> contextClick;

  Q_SIGNALS:
    void statusChanged(const QStringList& panes);
    // The left edge or the span changed (the application's time lock follows).
    void timeAxisChanged();
    // A double right-click in the seismogram: Title.
    void titleToggleRequested();
    // The records' samples or the selected record changed.
    void dataChanged();

  protected:
    // Unsaved records ask first; a window kept open ignores the close.
    void closeEvent(QCloseEvent* event) override;

  private:
    void syncScrollBars();
    // Shows the caption and bars as frame_ says, keeping the window's place on screen.
    void applyFrame();

    std::unique_ptr<views::EventSession> session_;
    views::CEqView* view_;
    views::CTextView* text_;
    QScrollBar* hbar_;
    QScrollBar* vbar_;
    bool syncing_ = false;
    WindowFrame frame_;
    std::int64_t shownLeftMs_ = -1;
    double shownSpan_ = -1;
};

// The caption bar of a window of the program's window area.
bool captionShown(const QWidget& mdiChild);
void showCaption(QWidget& mdiChild, bool shown);

} // namespace tlx::app
