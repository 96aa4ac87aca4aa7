#include "app/spectrum_window.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/save_dialog.h"
#include "app/spectral_filter_dialog.h"
#include "core/text.h"
#include "dsp/spectrum_settings.h"
#include "record/save_naming.h"
#include "views/document_filter_target.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace tlx::app {
namespace {

// Transforms whose window stopped waiting finish here, off the user-interface thread; a finished
// one is joined at the next hand-over, the rest at exit.
class JobReaper {
  public:
    static JobReaper& instance() {
        static JobReaper reaper;
        return reaper;
    }
    void retire(std::shared_ptr<SpectrumJob> job) {
        job->cancel();
        std::lock_guard<std::mutex> guard(lock_);
        std::erase_if(jobs_, [](const std::shared_ptr<SpectrumJob>& j) { return j->done(); });
        jobs_.push_back(std::move(job));
    }

  private:
    std::mutex lock_;
    std::vector<std::shared_ptr<SpectrumJob>> jobs_;
};

// Scrolling or zooming fires many changes; one transform after the last of them.
constexpr int kFollowPauseMs = 300;

} // namespace

SpectrumWindow::SpectrumWindow(AppContext& context, EventWindow& source, QWidget* parent)
    : QWidget(parent), ctx_(context), source_(&source) {
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new CFFTView(ctx_.style);
    bar_ = new JobStatusBar;
    bar_->onCancel = [this] { cancel(); };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_, 1);
    layout->addWidget(bar_);
    follow_.setSingleShot(true);
    follow_.setInterval(kFollowPauseMs);
    connect(&follow_, &QTimer::timeout, this, [this] { compute(kind_, wholeRecord_); });
    connect(&source, &EventWindow::timeAxisChanged, this, [this] { sourceChanged(true); });
    connect(&source, &EventWindow::dataChanged, this, [this] { sourceChanged(false); });
    const SpectrumSettings& s = ctx_.settings.spectrum;
    views::SpectrumOptions& o = view_->model().options();
    o.yLog = s.yLog;
    o.xGrid = s.xGrid;
    o.yGrid = s.yGrid;
    o.peakToPeak = s.peakToPeak;
    o.volts = s.yMode == 1;
    view_->onContextMenu = [this](QPoint at) {
        if (auto* frame = qobject_cast<CMainFrame*>(window())) {
            QMenu menu;
            for (const MenuItem& item : spectrumContextMenu())
                if (item.kind == MenuItem::Command)
                    menu.addAction(frame->action(item.cmd));
                else
                    menu.addSeparator();
            menu.exec(at);
        }
    };
    resize(800, 500);
}

SpectrumWindow::~SpectrumWindow() {
    if (job_) JobReaper::instance().retire(std::move(job_));
}

std::string SpectrumWindow::recordName() const {
    if (!source_ || record_ >= source_->doc().recordCount()) return {};
    return std::filesystem::path(source_->doc().fileName(record_)).filename().string();
}

std::string SpectrumWindow::sensorId() const {
    if (!source_ || record_ >= source_->doc().recordCount()) return {};
    const auto& id = source_->doc().record(record_).header.sensorId;
    const std::string raw(id, strnlen(id, sizeof id));
    return std::string(trim(raw));
}

double SpectrumWindow::voltsPerCount() const {
    if (!source_ || record_ >= source_->doc().recordCount()) return 0;
    const EventRecord& r = source_->doc().record(record_);
    return r.info.adVolts != 0 && r.header.adBits > 0
               ? r.info.adVolts / (std::ldexp(1.0, r.header.adBits) * 0.5)
               : 0;
}

void SpectrumWindow::sourceChanged(bool viewOnly) {
    if (!source_ || !source_->autoFft() || (viewOnly && wholeRecord_)) return;
    follow_.start();
}

void SpectrumWindow::compute(TransformKind kind, bool wholeRecord) {
    if (!source_ || source_->doc().recordCount() == 0) return;
    cancel();
    kind_ = kind;
    wholeRecord_ = wholeRecord;
    CEqDoc& doc = source_->doc();
    record_ = doc.currentRecord();
    const std::span<const double> samples = doc.samples(record_);
    SpectrumRequest request;
    request.kind = kind;
    request.windowOn = ctx_.settings.spectrum.windowFft;
    request.padOn = ctx_.settings.spectrum.padFft;
    request.removeMean = doc.fftDcOffset();
    request.sampleRate = doc.record(record_).header.sps;
    if (!wholeRecord) {
        const auto [first, count] = source_->view()->model().visibleSamples(record_);
        const bool whole = first <= 0 && count >= static_cast<long>(samples.size());
        if (!whole) {
            request.startIndex = std::max(0L, first);
            request.count = count;
        }
    }
    job_ = std::make_shared<SpectrumJob>();
    job_->start(samples, request);
    bar_->start([this] { poll(); },
                kind == TransformKind::Dft ? QString::fromStdString(progressText(0)) : "%p%");
    bar_->setText(QString::fromStdString(format("%s Performing %s", recordName().c_str(), kindName(kind))));
}

void SpectrumWindow::cancel() {
    bar_->finish();
    if (!job_) return;
    JobReaper::instance().retire(std::move(job_));
    bar_->setText("Cancelled");
    Q_EMIT finished(false);
}

void SpectrumWindow::poll() {
    if (!job_) return bar_->finish();
    const int percent = job_->percent();
    bar_->setPercent(percent,
                     kind_ == TransformKind::Dft ? QString::fromStdString(progressText(percent)) : "%p%");
    if (!job_->done()) return;
    bar_->finish();
    Spectrum result;
    std::string error;
    const bool ok = job_->take(result, error);
    job_.reset();
    if (ok) {
        spectrum_ = std::move(result);
        showSpectrum();
    } else {
        ctx_.messages.error(error);
        bar_->setText(QString::fromStdString(error));
    }
    Q_EMIT finished(ok);
}

void SpectrumWindow::showSpectrum() {
    views::SpectrumOptions& o = view_->model().options();
    // Volts need the record's A/D calibration.
    if (o.volts && voltsPerCount() == 0) o.volts = false;
    recomputeAmplitudes();
    view_->model().setSpectrum(&spectrum_);
    const bool several = source_ && source_->doc().recordCount() > 1;
    const std::string title = several ? sensorId() : source_ ? source_->doc().title() : recordName();
    setWindowTitle(QString::fromStdString(format("%s - %s", kindName(kind_), title.c_str())));
    bar_->setText(QString::fromStdString(spectrum_.statusText(recordName())));
    view_->update();
}

void SpectrumWindow::recomputeAmplitudes() {
    if (spectrum_.empty()) return;
    const views::SpectrumOptions& o = view_->model().options();
    spectrum_.computeAmplitudes({o.peakToPeak, o.volts, voltsPerCount()});
}

QString SpectrumWindow::statusText() const {
    return bar_->text();
}

const SpectrumWindow* SpectrumWindow::otherSpectrum(QMdiArea* mdi) const {
    if (!mdi || spectrum_.empty()) return nullptr;
    for (QMdiSubWindow* sub : mdi->subWindowList()) {
        const auto* other = qobject_cast<const SpectrumWindow*>(sub->widget());
        if (!other || other == this || other->spectrum_.empty()) continue;
        if (other->spectrum_.analysed() == spectrum_.analysed() &&
            other->spectrum_.request().sampleRate == spectrum_.request().sampleRate)
            return other;
    }
    return nullptr;
}

std::optional<CommandState> SpectrumWindow::commandState(Cmd cmd) const {
    const CommandSpec& spec = commandSpec(cmd);
    if (spec.scope == Scope::App) return std::nullopt;
    CommandState st;
    st.text = spec.text;
    const bool have = !spectrum_.empty();
    const views::SpectrumViewModel& m = view_->model();
    const views::SpectrumOptions& o = m.options();
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    switch (cmd) {
    case Cmd::Close:
    case Cmd::Arrange:
    case Cmd::Cascade:
        break;
    case Cmd::Print:
    case Cmd::SpecSaveGif:
    case Cmd::SpecExport:
    case Cmd::SpecCopy:
        st.enabled = have;
        break;
    case Cmd::SpecLowPass:
    case Cmd::SpecHighPass:
    case Cmd::SpecBandPass:
    case Cmd::SpecNotch:
        st.enabled = have && !busy();
        break;
    case Cmd::SpecTimeDomain:
        st.enabled = have && !busy() && spectrum_.filtered() && source_;
        break;
    case Cmd::SpecRatio:
        st.enabled = otherSpectrum(sub ? sub->mdiArea() : nullptr) != nullptr;
        break;
    case Cmd::SpecZoom:
        st.enabled = m.canZoom();
        st.checked = m.zoomed();
        break;
    case Cmd::SpecHigher:
        st.enabled = m.canShift(1);
        break;
    case Cmd::SpecLower:
        st.enabled = m.canShift(-1);
        break;
    case Cmd::SpecVolts:
        st.enabled = voltsPerCount() != 0;
        st.checked = o.volts;
        break;
    case Cmd::SpecCounts:
        st.checked = !o.volts;
        break;
    case Cmd::SpecPeakToPeak:
        st.checked = o.peakToPeak;
        break;
    case Cmd::SpecLogY:
        st.checked = o.yLog;
        break;
    case Cmd::SpecYGrid:
        st.checked = o.yGrid;
        break;
    case Cmd::SpecXGrid:
        st.checked = o.xGrid;
        break;
    case Cmd::Title:
        st.checked = captionShown(*this);
        break;
    default:
        st.enabled = false; // the event window's commands
        break;
    }
    return st;
}

bool SpectrumWindow::run(Cmd cmd, QMdiArea* mdi) {
    const std::optional<CommandState> st = commandState(cmd);
    if (!st) return false;
    if (!st->enabled) return true;
    views::SpectrumViewModel& m = view_->model();
    views::SpectrumOptions& o = m.options();
    SpectrumSettings& s = ctx_.settings.spectrum;
    // A display switch: the window's own state, written as the default of the next window.
    auto toggle = [&](bool& option, bool& stored, const char* key) {
        option = !option;
        stored = option;
        writeSpectrumSetting(ctx_.ini, key, option);
    };
    switch (cmd) {
    case Cmd::Close:
        if (mdi) mdi->closeActiveSubWindow();
        return true;
    case Cmd::Arrange:
        if (mdi) mdi->tileSubWindows();
        return true;
    case Cmd::Cascade:
        if (mdi) mdi->cascadeSubWindows();
        return true;
    case Cmd::Title:
        showCaption(*this, !captionShown(*this));
        return true;
    case Cmd::Print:
        print();
        return true;
    case Cmd::SpecSaveGif:
        saveGif();
        return true;
    case Cmd::SpecExport:
        exportData();
        return true;
    case Cmd::SpecCopy:
        QApplication::clipboard()->setImage(picture(view_->width(), view_->height()));
        return true;
    case Cmd::SpecLowPass:
    case Cmd::SpecHighPass:
    case Cmd::SpecBandPass:
    case Cmd::SpecNotch:
        spectralFilter(cmd);
        return true;
    case Cmd::SpecTimeDomain:
        timeDomain(mdi);
        return true;
    case Cmd::SpecRatio:
        ratio(mdi);
        return true;
    case Cmd::SpecZoom:
        m.toggleZoom();
        break;
    case Cmd::SpecHigher:
        m.shift(1);
        break;
    case Cmd::SpecLower:
        m.shift(-1);
        break;
    case Cmd::SpecVolts:
    case Cmd::SpecCounts:
        o.volts = cmd == Cmd::SpecVolts;
        s.yMode = o.volts ? 1 : 0;
        writeSpectrumSetting(ctx_.ini, "FFTYMode", s.yMode);
        recomputeAmplitudes();
        break;
    case Cmd::SpecPeakToPeak:
        toggle(o.peakToPeak, s.peakToPeak, "FFTPeakToPeak");
        recomputeAmplitudes();
        break;
    case Cmd::SpecLogY:
        toggle(o.yLog, s.yLog, "FFTYLog");
        break;
    case Cmd::SpecYGrid:
        toggle(o.yGrid, s.yGrid, "FFTYGrid");
        break;
    case Cmd::SpecXGrid:
        toggle(o.xGrid, s.xGrid, "FFTXGrid");
        break;
    default:
        return true;
    }
    view_->update();
    return true;
}

void SpectrumWindow::spectralFilter(Cmd cmd) {
    const SpectralFilterKind kind = cmd == Cmd::SpecLowPass    ? SpectralFilterKind::LowPass
                                    : cmd == Cmd::SpecHighPass ? SpectralFilterKind::HighPass
                                    : cmd == Cmd::SpecBandPass ? SpectralFilterKind::BandPass
                                                               : SpectralFilterKind::Notch;
    CSpectralFilter dialog(kind, sensorId(), ctx_.ini, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const double fH = dialog.highCutoff(), fL = dialog.lowCutoff();
    const int poles = dialog.poles();
    switch (kind) {
    case SpectralFilterKind::LowPass:
        spectrum_.lowPass(fH, poles, ctx_.messages);
        break;
    case SpectralFilterKind::HighPass:
        spectrum_.highPass(fH, poles, ctx_.messages);
        break;
    case SpectralFilterKind::BandPass:
        spectrum_.bandPass(fH, fL, poles, ctx_.messages);
        break;
    case SpectralFilterKind::Notch:
        spectrum_.notch(fH, fL, poles, ctx_.messages);
        break;
    }
    recomputeAmplitudes();
    view_->update();
}

void SpectrumWindow::timeDomain(QMdiArea* mdi) {
    if (!source_ || record_ >= source_->doc().recordCount()) return;
    DocumentFilterTarget target(source_->doc());
    if (!spectrum_.backToTimeDomain(target, record_)) return;
    source_->refresh();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(source_->parentWidget()); sub && mdi)
        mdi->setActiveSubWindow(sub);
}

void SpectrumWindow::exportData() {
    if (!source_) return;
    namespace fs = std::filesystem;
    const std::string dir =
        ctx_.ini.getString("Settings", "ExportDirectory", ctx_.settings.eventDirectory.string());
    const fs::path proposed = fs::path(dir) / defaultExportName(source_->doc().fileName(record_));
    const QString file =
        QFileDialog::getSaveFileName(this, QString::fromStdString(format("Export %s Data", kindName(kind_))),
                                     QString::fromStdString(proposed.string()), "*.txt");
    if (file.isEmpty()) return;
    const fs::path path = file.toStdString();
    if (!exportSpectrum(path, spectrum_, ctx_.messages)) return;
    if (path.parent_path().string() != dir)
        ctx_.ini.setString("Settings", "ExportDirectory", path.parent_path().string());
}

void SpectrumWindow::ratio(QMdiArea* mdi) {
    const SpectrumWindow* other = otherSpectrum(mdi);
    writeRatioFile(ctx_.settings.programDirectory, spectrum_, other ? &other->spectrum_ : nullptr,
                   ctx_.messages);
}

void SpectrumWindow::saveGif() {
    const std::string name =
        gifNameBeside(source_ ? source_->doc().fileName(record_) : "spectrum", "_fft.gif");
    saveWindowPicture(this, ctx_.settings, ctx_.ini, ctx_.messages, name,
                      [this](int width, int height) { return picture(width, height); });
}

void SpectrumWindow::print() {
    // The picture at screen proportions, scaled to the page.
    const QSize size(1024, 768);
    printWindowPicture(this, size, [this, size](QPainter& p) { view_->paint(p, size, true); });
}

namespace {

SpectrumWindow* spectrumWindowOf(const EventWindow& source, QMdiArea* mdi) {
    for (QMdiSubWindow* sub : mdi->subWindowList())
        if (auto* sw = qobject_cast<SpectrumWindow*>(sub->widget()); sw && sw->source() == &source) return sw;
    return nullptr;
}

} // namespace

SpectrumWindow* openSpectrumWindow(Cmd cmd, EventWindow& source, QMdiArea* mdi, AppContext& context) {
    const TransformKind kind =
        cmd == Cmd::DftFull || cmd == Cmd::DftView ? TransformKind::Dft : TransformKind::Fft;
    const bool whole = cmd == Cmd::DftFull || cmd == Cmd::FftFull;
    if (SpectrumWindow* sw = spectrumWindowOf(source, mdi)) {
        mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(sw->parentWidget()));
        sw->compute(kind, whole);
        return sw;
    }
    auto* window = new SpectrumWindow(context, source);
    window->setWindowTitle(
        QString::fromStdString(format("%s - %s", kindName(kind), source.doc().title().c_str())));
    QMdiSubWindow* sub = mdi->addSubWindow(window);
    sub->resize(std::max(400, mdi->width() * 2 / 3), std::max(300, mdi->height() * 2 / 3));
    sub->show();
    window->compute(kind, whole);
    return window;
}

void toggleAutoFft(EventWindow& source, QMdiArea* mdi, AppContext& context) {
    source.setAutoFft(!source.autoFft());
    if (source.autoFft() && !spectrumWindowOf(source, mdi))
        openSpectrumWindow(Cmd::FftView, source, mdi, context);
}

SpectrumWindow* activeSpectrumWindow(QMdiArea* mdi) {
    QMdiSubWindow* sub = mdi->activeSubWindow();
    return sub ? qobject_cast<SpectrumWindow*>(sub->widget()) : nullptr;
}

} // namespace tlx::app
