// The spectrogram window of an event window's current record: window length, overlap and a
// logarithmic frequency axis to choose, computed on a worker with a progress bar and Cancel, its
// time axis following the event window's left edge and span; saved as GIF and printed.
#pragma once

#include "app/job_status_bar.h"
#include "dsp/spectrogram.h"
#include "views/spectrogram_layout.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QCheckBox;
class QDoubleSpinBox;
class QMdiArea;
class QPushButton;

namespace tlx::app {

struct AppContext;
class EventWindow;

class SpectrogramWindow : public QWidget {
    Q_OBJECT
  public:
    SpectrogramWindow(AppContext& context, EventWindow& source, QWidget* parent = nullptr);
    ~SpectrogramWindow() override;

    // Starts the spectrogram of the source's current record with the window's settings.
    void compute();
    bool busy() const { return job_ != nullptr; }
    void cancel();

    EventWindow* source() const { return source_; }
    const Spectrogram& spectrogram() const { return spectrogram_; }
    views::SpectrogramLayout& layout() { return layout_; }
    QWidget* canvas() { return canvas_; }
    QDoubleSpinBox* windowSeconds() { return seconds_; }
    QDoubleSpinBox* overlap() { return overlap_; }
    QCheckBox* logFrequency() { return log_; }
    QPushButton* cancelButton() { return bar_->cancelButton(); }
    QString statusText() const;
    QImage picture(int width, int height);
    void saveGif();
    void print();

  Q_SIGNALS:
    void finished(bool ok);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void poll();
    // The time axis of the event window: its left edge and span on this record.
    void followSource();
    void paintCanvas();

    AppContext& ctx_;
    QPointer<EventWindow> source_;
    int record_ = 0;
    Spectrogram spectrogram_;
    std::shared_ptr<SpectrogramJob> job_;
    views::SpectrogramLayout layout_;
    QWidget* canvas_;
    QDoubleSpinBox* seconds_;
    QDoubleSpinBox* overlap_;
    QCheckBox* log_;
    JobStatusBar* bar_;
};

// Calculate > Spectrogram: opens the window for the active event window's current record, or
// brings back and recomputes the one it has.
SpectrogramWindow* openSpectrogramWindow(EventWindow& source, QMdiArea* mdi, AppContext& context);

} // namespace tlx::app
