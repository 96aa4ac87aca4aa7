#include "app/event_window.h"

#include "views/gif_export.h"

#include <QCloseEvent>
#include <QDialog>
#include <QGridLayout>
#include <QMdiSubWindow>
#include <QPainter>
#include <QScrollBar>
#include <QSplitter>

namespace tlx::app {

EventWindow::EventWindow(const AppSettings& settings, const views::ViewStyle& style, QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new views::CEqView;
    view_->model().options() = settings.view;
    text_ = new views::CTextView(view_->model());
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(text_);
    text_->setStyle(style);
    auto* pane = new QWidget;
    auto* grid = new QGridLayout(pane);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    hbar_ = new QScrollBar(Qt::Horizontal);
    vbar_ = new QScrollBar(Qt::Vertical);
    vbar_->setRange(-views::kMaxZoomIndex, views::kMaxZoomIndex);
    grid->addWidget(view_, 0, 0);
    grid->addWidget(vbar_, 0, 1);
    grid->addWidget(hbar_, 1, 0);
    splitter->addWidget(pane);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({text_->sizeHint().height(), 10000});
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    setStyle(style);
    connect(view_, &views::CEqView::readoutsChanged, this, [this] {
        text_->update();
        syncScrollBars();
    });
    connect(view_, &views::CEqView::statusChanged, this, &EventWindow::statusChanged);
    view_->dragMovesWindow = [this] { return !frame_.caption; };
    view_->onWindowDrag = [this](QPoint delta) {
        if (QWidget* sub = parentWidget()) sub->move(sub->pos() + delta);
    };
    view_->onTitleToggle = [this] { Q_EMIT titleToggleRequested(); };
    connect(hbar_, &QScrollBar::valueChanged, this, [this](int v) {
        if (syncing_) return;
        view_->model().scrollTo(v);
        view_->refresh();
    });
    connect(vbar_, &QScrollBar::valueChanged, this, [this](int v) {
        if (syncing_) return;
        views::EqViewModel& m = view_->model();
        m.zoomBy(v - m.zoomIndex());
        view_->refresh();
    });
    frame_.horzBar = settings.horzScroll;
    frame_.vertBar = settings.vertScroll;
    hbar_->setVisible(frame_.horzBar);
    vbar_->setVisible(frame_.vertBar);
    resize(900, 600);
}

EventWindow::~EventWindow() {
    qDeleteAll(findChildren<QDialog*>(Qt::FindDirectChildrenOnly));
}

void EventWindow::setStyle(const views::ViewStyle& style) {
    view_->setStyle(style);
    text_->setStyle(style);
}

bool EventWindow::load(const OpenRequest& request, const views::SeismoTables& tables, EventLoader& loader,
                       Messages& messages, IniProfile* ini, LoadMode mode) {
    session_ = std::make_unique<views::EventSession>(tables, loader, messages, ini, mode, &view_->model());
    if (!session_->open(request)) return false;
    // Filters, undo, integration and crop change the samples: the view follows with new pyramids.
    session_->onDataChanged = [this] {
        refresh();
        Q_EMIT dataChanged();
    };
    session_->onSelectionChanged = [this] {
        setWindowTitle(QString::fromStdString(doc().title()));
        refresh();
        Q_EMIT dataChanged();
    };
    view_->onSelectRecord = [this](int slot) { doc().selectRecord(slot); };
    view_->onShowAlone = [this](int slot) {
        if (slot < 0)
            doc().displayAll();
        else
            doc().displayRecord(slot);
    };
    setWindowTitle(QString::fromStdString(doc().title()));
    refresh();
    return true;
}

WindowContext EventWindow::context() {
    return WindowContext{doc(), view_->model(), [this](bool quiet) { return session_->locateMarkers(quiet); },
                         contextClick, &frame_};
}

void EventWindow::setFrame(const WindowFrame& frame) {
    frame_ = frame;
    applyFrame();
}

void EventWindow::applyFrame() {
    hbar_->setVisible(frame_.horzBar);
    vbar_->setVisible(frame_.vertBar);
    text_->setVisible(frame_.textPanel);
    showCaption(*this, frame_.caption);
}

bool captionShown(const QWidget& mdiChild) {
    auto* sub = qobject_cast<QMdiSubWindow*>(mdiChild.parentWidget());
    return !sub || !sub->windowFlags().testFlag(Qt::FramelessWindowHint);
}

void showCaption(QWidget& mdiChild, bool shown) {
    auto* sub = qobject_cast<QMdiSubWindow*>(mdiChild.parentWidget());
    if (!sub || captionShown(mdiChild) == shown) return;
    // Without its caption the frame stays where it was: the window's contents do not jump.
    const QRect contents = sub->geometry();
    sub->setWindowFlag(Qt::FramelessWindowHint, !shown);
    sub->setGeometry(contents);
    sub->show();
}

void EventWindow::closeEvent(QCloseEvent* event) {
    if (session_ && doc().queryClose() == CloseAnswer::KeepOpen) return event->ignore();
    if (session_) doc().noteClosed();
    event->accept();
}

void EventWindow::refresh() {
    applyFrame();
    view_->refresh();
    text_->update();
    syncScrollBars();
}

void EventWindow::syncScrollBars() {
    const views::EqViewModel& m = view_->model();
    if (m.leftMs() != shownLeftMs_ || m.spanSeconds() != shownSpan_) {
        shownLeftMs_ = m.leftMs();
        shownSpan_ = m.spanSeconds();
        Q_EMIT timeAxisChanged();
    }
    syncing_ = true;
    const int maxScroll = std::max(0, m.durationSeconds() - static_cast<int>(m.spanSeconds()));
    hbar_->setRange(0, maxScroll);
    hbar_->setPageStep(std::max(1, static_cast<int>(m.spanSeconds())));
    hbar_->setValue(static_cast<int>((m.leftMs() - m.axisStartMs()) / 1000));
    vbar_->setValue(m.zoomIndex());
    syncing_ = false;
}

bool EventWindow::saveGif(const std::string& path, int width, int height, std::string& message) {
    const QImage image = view_->picture(width, height);
    return views::saveImageAsGif(image, path, message);
}

bool EventWindow::print(QPrinter& printer, const views::PrintSettings& settings) {
    return view_->print(printer, settings);
}

QImage EventWindow::copyImage(int which) {
    const QImage seismogram = view_->grab().toImage();
    const QImage text = text_->grab().toImage();
    if (which == 1) return seismogram;
    if (which == 2) return text;
    QImage both(seismogram.width(), seismogram.height() + text.height(), QImage::Format_RGB32);
    both.fill(Qt::white);
    QPainter p(&both);
    p.drawImage(0, 0, text);
    p.drawImage(0, text.height(), seismogram);
    return both;
}

} // namespace tlx::app
