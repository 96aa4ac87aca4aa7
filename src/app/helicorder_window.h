// The helicorder ("drum") window of an event window's channel: the whole file read in its own
// pass, in lines of 5 to 60 minutes with a common clip, the event window's P and S markers and the
// event origin marked; a click on a line shows that time in the event window.
#pragma once

#include "record/whole_channel.h"
#include "views/helicorder_layout.h"
#include "views/helicorder_painter.h"

#include <QPointer>
#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QMdiArea;
class QScrollBar;

namespace tlx::app {

struct AppContext;
class EventWindow;

class HelicorderWindow : public QWidget {
    Q_OBJECT
  public:
    HelicorderWindow(AppContext& context, EventWindow& source, QWidget* parent = nullptr);

    // Reads the source's current channel in full; false with `error` set when it cannot.
    bool load(std::string& error);

    EventWindow* source() const { return source_; }
    const WholeChannel& channel() const { return channel_; }
    views::HelicorderLayout& layout() { return layout_; }
    QWidget* canvas() { return canvas_; }
    QComboBox* minutesPerLine() { return minutes_; }
    QDoubleSpinBox* clip() { return clip_; }
    QScrollBar* scrollBar() { return scroll_; }
    QString statusText() const;
    // Seconds after midnight of the channel's first day, for an event window time (ms of day).
    double channelTime(std::int64_t eventMs) const;
    // Shows a time of the channel in the event window, zoomed to a minute around it; false when the
    // event record does not hold it.
    bool showInEventWindow(double t);
    QImage picture(int width, int height);
    void saveGif();
    void print();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    views::HelicorderScene scene() const;
    void relayout();

    AppContext& ctx_;
    QPointer<EventWindow> source_;
    int record_ = 0;
    WholeChannel channel_;
    views::MinMaxPyramid pyramid_;
    double mean_ = 0;
    double first_ = 0;  // the first sample, seconds after its day's midnight
    double offset_ = 0; // where the event record starts, seconds after the channel's first sample
    views::HelicorderLayout layout_;
    QWidget* canvas_;
    QComboBox* minutes_;
    QDoubleSpinBox* clip_;
    QScrollBar* scroll_;
    QLabel* status_;
};

// Calculate > Helicorder: opens the window for the active event window's current channel.
HelicorderWindow* openHelicorderWindow(EventWindow& source, QMdiArea* mdi, AppContext& context);

} // namespace tlx::app
