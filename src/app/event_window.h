// One event window: the text panel above the seismogram in a splitter, with scroll bars.
#pragma once

#include "app/app_settings.h"
#include "app/event_commands.h"
#include "seismo/travel_times.h"
#include "views/eq_view.h"
#include "views/event_slots.h"
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
    // Opens one to three files in the window's event document.
    bool load(const OpenRequest& request, EventLoader& loader, Messages& messages, IniProfile* ini, LoadMode mode);
    // The window as the command table sees it.
    WindowContext context();
    void setScrollBars(bool horizontal, bool vertical);

    views::CEqView* view() { return view_; }
    views::CTextView* textView() { return text_; }
    const views::EventSlots& records() const { return *records_; }
    CEqDoc& doc() { return *doc_; }
    void setStyle(const views::ViewStyle& style);

    // Picture of GIF export at the configured size, written to `path`.
    bool saveGif(const std::string& path, int width, int height, std::string& message);
    bool print(QPrinter& printer, const views::PrintSettings& settings);
    QImage copyImage(int which); // 0 both, 1 seismogram, 2 text

    void refresh();
    // The window's own copy of the travel-time lookup (null without tables).
    std::shared_ptr<WindowTravelTimes> travelTimes;
    // P-S Location with those tables (set by the frame).
    std::function<bool(bool quiet)> psLocation;
    // Set while the context menu opened at that point is shown.
    std::optional<views::Point> contextClick;

Q_SIGNALS:
    void statusChanged(const QStringList& panes);

protected:
    // Unsaved records ask first; a window kept open ignores the close.
    void closeEvent(QCloseEvent* event) override;

private:
    void syncScrollBars();

    std::unique_ptr<CEqDoc> doc_;
    std::unique_ptr<views::EventSlots> records_;
    views::CEqView* view_;
    views::CTextView* text_;
    QScrollBar* hbar_;
    QScrollBar* vbar_;
    bool syncing_ = false;
};

} // namespace tlx::app
