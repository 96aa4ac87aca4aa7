#include "app/spectrogram_window.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/save_dialog.h"
#include "core/text.h"
#include "record/save_naming.h"
#include "views/spectrogram_painter.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace tlx::app {
namespace {

constexpr double kRangeDb = 80; // colours from the loudest value down by this much

} // namespace

SpectrogramWindow::SpectrogramWindow(AppContext& context, EventWindow& source, QWidget* parent)
    : QWidget(parent), ctx_(context), source_(&source) {
    setAttribute(Qt::WA_DeleteOnClose);
    canvas_ = new QWidget;
    canvas_->setMinimumSize(300, 200);
    canvas_->installEventFilter(this);
    seconds_ = new QDoubleSpinBox;
    seconds_->setRange(0.01, 3600);
    seconds_->setDecimals(2);
    seconds_->setSuffix(" s");
    overlap_ = new QDoubleSpinBox;
    overlap_->setRange(0, 0.95);
    overlap_->setSingleStep(0.05);
    log_ = new QCheckBox("&Log frequency");
    auto* apply = new QPushButton("&Compute");
    auto* gif = new QPushButton("Save &GIF...");
    auto* printButton = new QPushButton("&Print...");
    auto* controls = new QHBoxLayout;
    auto* secondsLabel = new QLabel("&Window:");
    secondsLabel->setBuddy(seconds_);
    controls->addWidget(secondsLabel);
    controls->addWidget(seconds_);
    auto* overlapLabel = new QLabel("&Overlap:");
    overlapLabel->setBuddy(overlap_);
    controls->addWidget(overlapLabel);
    controls->addWidget(overlap_);
    controls->addWidget(log_);
    controls->addWidget(apply);
    controls->addStretch(1);
    controls->addWidget(gif);
    controls->addWidget(printButton);
    bar_ = new JobStatusBar;
    bar_->onCancel = [this] { cancel(); };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(controls);
    layout->addWidget(canvas_, 1);
    layout->addWidget(bar_);
    connect(apply, &QPushButton::clicked, this, &SpectrogramWindow::compute);
    connect(gif, &QPushButton::clicked, this, &SpectrogramWindow::saveGif);
    connect(printButton, &QPushButton::clicked, this, &SpectrogramWindow::print);
    connect(log_, &QCheckBox::toggled, canvas_, qOverload<>(&QWidget::update));
    connect(&source, &EventWindow::timeAxisChanged, this, [this] {
        followSource();
        canvas_->update();
    });
    // Defaults that fit the record's rate and length.
    const CEqDoc& doc = source.doc();
    if (doc.recordCount() > 0) {
        const int slot = doc.currentRecord();
        const double rate = doc.record(slot).header.sps;
        const SpectrogramRequest r =
            defaultSpectrogramRequest(rate, static_cast<long long>(doc.samples(slot).size()));
        seconds_->setValue(rate > 0 ? r.window / rate : 1);
        overlap_->setValue(static_cast<double>(r.overlap) / r.window);
    }
    resize(900, 500);
}

// The job joins its worker, which stops at the next segment once cancelled.
SpectrogramWindow::~SpectrogramWindow() = default;

void SpectrogramWindow::compute() {
    if (!source_ || source_->doc().recordCount() == 0) return;
    cancel();
    CEqDoc& doc = source_->doc();
    record_ = doc.currentRecord();
    const double rate = doc.record(record_).header.sps;
    SpectrogramRequest request;
    request.sampleRate = rate;
    request.window = spectrogramWindow(seconds_->value(), rate);
    request.overlap = spectrogramOverlap(request.window, overlap_->value());
    job_ = std::make_shared<SpectrogramJob>();
    job_->start(doc.samples(record_), request);
    bar_->start([this] { poll(); });
    bar_->setText(QString::fromStdString(
        format("Computing: window %d samples, overlap %d", request.window, request.overlap)));
}

void SpectrogramWindow::cancel() {
    bar_->finish();
    if (!job_) return;
    job_->cancel();
    job_.reset();
    bar_->setText("Cancelled");
    Q_EMIT finished(false);
}

void SpectrogramWindow::poll() {
    if (!job_) return bar_->finish();
    bar_->setPercent(job_->percent());
    if (!job_->done()) return;
    bar_->finish();
    Spectrogram result;
    std::string error;
    const bool ok = job_->take(result, error);
    job_.reset();
    if (ok) {
        spectrogram_ = std::move(result);
        const SpectrogramRequest& r = spectrogram_.request();
        bar_->setText(QString::fromStdString(
            format("%d segments of %d samples (%.3g s), overlap %d, %.4g Hz per bin", spectrogram_.columns(),
                   r.window, r.window / r.sampleRate, r.overlap, spectrogram_.frequency(1))));
        followSource();
    } else {
        ctx_.messages.error(error);
        bar_->setText(QString::fromStdString(error));
    }
    canvas_->update();
    Q_EMIT finished(ok);
}

void SpectrogramWindow::followSource() {
    if (!source_ || record_ >= source_->doc().recordCount()) return;
    const views::EqViewModel& m = source_->view()->model();
    const double recordStart = m.recordStartMs(record_);
    layout_.setTimeRange((static_cast<double>(m.leftMs()) - recordStart) / 1000, m.spanSeconds(),
                         recordStart / 1000);
}

QString SpectrogramWindow::statusText() const {
    return bar_->text();
}

QImage SpectrogramWindow::picture(int width, int height) {
    layout_.setFrequencyRange(spectrogram_.empty() ? 0 : spectrogram_.frequency(1),
                              spectrogram_.empty() ? 1 : spectrogram_.request().sampleRate / 2,
                              log_->isChecked());
    QImage image = views::spectrogramPicture(width, height, layout_, spectrogram_,
                                             views::decibelRange(spectrogram_, kRangeDb), ctx_.style);
    layout_.setSize(canvas_->width(), canvas_->height());
    return image;
}

void SpectrogramWindow::paintCanvas() {
    QPainter p(canvas_);
    layout_.setFrequencyRange(spectrogram_.empty() ? 0 : spectrogram_.frequency(1),
                              spectrogram_.empty() ? 1 : spectrogram_.request().sampleRate / 2,
                              log_->isChecked());
    views::paintSpectrogram(p, canvas_->size(), layout_, spectrogram_,
                            views::decibelRange(spectrogram_, kRangeDb), ctx_.style);
}

bool SpectrogramWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == canvas_ && event->type() == QEvent::Paint) {
        paintCanvas();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SpectrogramWindow::saveGif() {
    const std::string name =
        gifNameBeside(source_ ? source_->doc().fileName(record_) : "spectrogram", "_spg.gif");
    saveWindowPicture(this, ctx_.settings, ctx_.ini, ctx_.messages, name,
                      [this](int width, int height) { return picture(width, height); });
}

void SpectrogramWindow::print() {
    const QSize size(1024, 768);
    printWindowPicture(this, size, [this, size](QPainter& p) {
        views::paintSpectrogram(p, size, layout_, spectrogram_, views::decibelRange(spectrogram_, kRangeDb),
                                ctx_.style, true);
    });
    layout_.setSize(canvas_->width(), canvas_->height());
}

SpectrogramWindow* openSpectrogramWindow(EventWindow& source, QMdiArea* mdi, AppContext& context) {
    for (QMdiSubWindow* sub : mdi->subWindowList())
        if (auto* w = qobject_cast<SpectrogramWindow*>(sub->widget()); w && w->source() == &source) {
            mdi->setActiveSubWindow(sub);
            w->compute();
            return w;
        }
    auto* window = new SpectrogramWindow(context, source);
    window->setWindowTitle(QString::fromStdString(format("Spectrogram - %s", source.doc().title().c_str())));
    QMdiSubWindow* sub = mdi->addSubWindow(window);
    sub->resize(std::max(500, mdi->width() * 3 / 4), std::max(320, mdi->height() * 2 / 3));
    sub->show();
    window->compute();
    return window;
}

} // namespace tlx::app
