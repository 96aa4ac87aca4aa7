// The spectrum window: the amplitude spectrum of one record of an event window, computed on a
// worker with a progress bar and Cancel, its display switches, spectral filters, the way back
// into the record ("&Time Domain"), export, ratio.txt and the GIF picture.
#pragma once

#include "app/event_commands.h"
#include "app/fft_view.h"
#include "app/job_status_bar.h"
#include "dsp/spectrum.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class QMdiArea;
class QPushButton;

namespace tlx::app {

struct AppContext;
class EventWindow;

class SpectrumWindow : public QWidget {
    Q_OBJECT
  public:
    SpectrumWindow(AppContext& context, EventWindow& source, QWidget* parent = nullptr);
    // A running transform is cancelled and left to finish on its own; it writes only into itself.
    ~SpectrumWindow() override;

    // Starts the transform of the source's current record: "Full" takes the whole record, else
    // the part the event window shows.
    void compute(TransformKind kind, bool wholeRecord);
    bool busy() const { return job_ != nullptr; }
    // Stops waiting for the transform at once; the spectrum shown stays as it was.
    void cancel();

    EventWindow* source() const { return source_; }
    int recordIndex() const { return record_; }
    const Spectrum& spectrum() const { return spectrum_; }
    CFFTView* view() { return view_; }
    QProgressBar* progressBar() { return bar_->progressBar(); }
    QPushButton* cancelButton() { return bar_->cancelButton(); }
    QString statusText() const;

    // The state of a command while this window is active (spectrum, file and window commands).
    std::optional<CommandState> commandState(Cmd cmd) const;
    // Carries out a spectrum command; false when it is not one of this window's.
    bool run(Cmd cmd, QMdiArea* mdi);
    QImage picture(int width, int height) { return view_->picture(width, height); }

  Q_SIGNALS:
    // After a transform finished and the spectrum is shown (or failed or was cancelled).
    void finished(bool ok);

  private:
    void poll();
    // "&Auto FFT Display": the source's view or data changed; recompute after a short pause.
    void sourceChanged(bool viewOnly);
    void showSpectrum();
    void recomputeAmplitudes();
    void spectralFilter(Cmd cmd);
    void timeDomain(QMdiArea* mdi);
    void exportData();
    void ratio(QMdiArea* mdi);
    void saveGif();
    void print();
    const SpectrumWindow* otherSpectrum(QMdiArea* mdi) const;
    std::string recordName() const;
    std::string sensorId() const;
    double voltsPerCount() const;

    AppContext& ctx_;
    QPointer<EventWindow> source_;
    int record_ = 0;
    TransformKind kind_ = TransformKind::Fft;
    bool wholeRecord_ = false;
    Spectrum spectrum_;
    std::shared_ptr<SpectrumJob> job_;
    QTimer follow_;
    CFFTView* view_;
    JobStatusBar* bar_;
};

// "&DFT Full" … "FFT &View Only": opens a spectrum window for the event window, or recomputes
// the one it already has.
SpectrumWindow* openSpectrumWindow(Cmd cmd, EventWindow& source, QMdiArea* mdi, AppContext& context);
// "&Auto FFT Display": the window's spectrum follows its view and data; switched on without a
// spectrum window, one opens for the part the window shows.
void toggleAutoFft(EventWindow& source, QMdiArea* mdi, AppContext& context);
// The active MDI child when it is a spectrum window.
SpectrumWindow* activeSpectrumWindow(QMdiArea* mdi);

} // namespace tlx::app
