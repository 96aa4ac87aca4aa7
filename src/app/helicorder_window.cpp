#include "app/helicorder_window.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/save_dialog.h"
#include "core/text.h"
#include "record/save_naming.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>
#include <filesystem>

namespace tlx::app {
namespace {

double secondOfDay(const EventRecord& r) {
    const CivilTime t = addSeconds(toCivil(r.header.startTime), r.header.startTimeOffset);
    return t.hour * 3600.0 + t.minute * 60.0 + t.second + t.nanoseconds / 1e9;
}

// The shortest line that shows the channel in at most 96 lines (a day in 15-minute lines).
int defaultMinutes(double seconds) {
    for (int m : views::kLineMinutes)
        if (seconds / (m * 60.0) <= 96) return m;
    return 60;
}

} // namespace

HelicorderWindow::HelicorderWindow(AppContext& context, EventWindow& source, QWidget* parent)
    : QWidget(parent), ctx_(context), source_(&source) {
    setAttribute(Qt::WA_DeleteOnClose);
    canvas_ = new QWidget;
    canvas_->setMinimumSize(300, 200);
    canvas_->setCursor(Qt::PointingHandCursor);
    canvas_->installEventFilter(this);
    minutes_ = new QComboBox;
    for (int m : views::kLineMinutes)
        minutes_->addItem(QString("%1 min").arg(m), m);
    clip_ = new QDoubleSpinBox;
    clip_->setRange(1, 1e12);
    clip_->setDecimals(0);
    clip_->setSuffix(" counts");
    auto* gif = new QPushButton("Save &GIF...");
    auto* printButton = new QPushButton("&Print...");
    auto* controls = new QHBoxLayout;
    auto* minutesLabel = new QLabel("&Line:");
    minutesLabel->setBuddy(minutes_);
    auto* clipLabel = new QLabel("&Clip:");
    clipLabel->setBuddy(clip_);
    controls->addWidget(minutesLabel);
    controls->addWidget(minutes_);
    controls->addWidget(clipLabel);
    controls->addWidget(clip_);
    controls->addStretch(1);
    controls->addWidget(gif);
    controls->addWidget(printButton);
    scroll_ = new QScrollBar(Qt::Vertical);
    auto* middle = new QHBoxLayout;
    middle->addWidget(canvas_, 1);
    middle->addWidget(scroll_);
    status_ = new QLabel;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(controls);
    layout->addLayout(middle, 1);
    layout->addWidget(status_);
    connect(minutes_, &QComboBox::currentIndexChanged, this, [this] {
        layout_.setMinutesPerLine(minutes_->currentData().toInt());
        relayout();
    });
    connect(clip_, &QDoubleSpinBox::valueChanged, this, [this](double counts) {
        layout_.setClip(counts);
        canvas_->update();
    });
    connect(scroll_, &QScrollBar::valueChanged, this, [this](int value) {
        layout_.setScroll(value);
        canvas_->update();
    });
    connect(gif, &QPushButton::clicked, this, &HelicorderWindow::saveGif);
    connect(printButton, &QPushButton::clicked, this, &HelicorderWindow::print);
    // The markers move in the event window: the marks follow at the next paint.
    connect(&source, &EventWindow::statusChanged, canvas_, qOverload<>(&QWidget::update));
    resize(900, 600);
}

bool HelicorderWindow::load(std::string& error) {
    if (!source_ || source_->doc().recordCount() == 0) {
        error = "No record";
        return false;
    }
    const CEqDoc& doc = source_->doc();
    record_ = doc.currentRecord();
    const EventRecord& r = doc.record(record_);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = readWholeChannel(*ctx_.loader, doc.fileName(record_), r.stationName(), r.component(),
                                     channel_, error);
    QApplication::restoreOverrideCursor();
    if (!ok) return false;
    const ChannelHeader& h = channel_.record.header;
    if (!(h.sps > 0) || channel_.samples.empty()) {
        error = "The channel has no samples";
        return false;
    }
    pyramid_.rebuild(channel_.samples);
    double sum = 0;
    for (double v : channel_.samples)
        sum += v;
    mean_ = sum / static_cast<double>(channel_.samples.size());
    first_ = secondOfDay(channel_.record);
    offset_ = secondsBetween(h.startTime, r.header.startTime) + r.header.startTimeOffset - h.startTimeOffset;
    const double seconds = static_cast<double>(channel_.samples.size()) / h.sps;
    layout_.setData(first_, h.sps, static_cast<long long>(channel_.samples.size()));
    layout_.setMinutesPerLine(defaultMinutes(seconds));
    const double clip = views::defaultClip(channel_.samples, mean_);
    layout_.setClip(clip);
    {
        const QSignalBlocker a(minutes_), b(clip_);
        minutes_->setCurrentIndex(minutes_->findData(layout_.minutesPerLine()));
        clip_->setValue(clip);
    }
    status_->setText(
        QString::fromStdString(format("%s %s: %zu samples, %.2f h%s", r.stationName().c_str(),
                                      r.component().c_str(), channel_.samples.size(), seconds / 3600,
                                      channel_.limited ? " (not all of the file: the reader's limit)" : "")));
    relayout();
    return true;
}

void HelicorderWindow::relayout() {
    layout_.setSize(canvas_->width(), canvas_->height());
    scroll_->setRange(0, layout_.maxScroll());
    scroll_->setPageStep(std::max(1, canvas_->height()));
    scroll_->setSingleStep(static_cast<int>(layout_.lineSpacing()));
    scroll_->setValue(layout_.scroll());
    canvas_->update();
}

QString HelicorderWindow::statusText() const {
    return status_->text();
}

double HelicorderWindow::channelTime(std::int64_t eventMs) const {
    if (!source_ || record_ >= source_->doc().recordCount()) return 0;
    const double recordStartMs = source_->view()->model().recordStartMs(record_);
    double seconds = (static_cast<double>(eventMs) - recordStartMs) / 1000;
    if (seconds < -43200) seconds += 86400; // a marker after midnight
    return first_ + offset_ + seconds;
}

views::HelicorderScene HelicorderWindow::scene() const {
    views::HelicorderScene s;
    s.pyramid = &pyramid_;
    s.mean = mean_;
    if (!source_ || record_ >= source_->doc().recordCount()) return s;
    const views::EqViewModel& m = source_->view()->model();
    const views::Rgb markers = ctx_.style.colors.phases;
    if (m.marker(views::kMarkerP).placed())
        s.marks.push_back({channelTime(m.marker(views::kMarkerP).timeMs), "P", markers});
    if (m.marker(views::kMarkerS).placed())
        s.marks.push_back({channelTime(m.marker(views::kMarkerS).timeMs), "S", markers});
    const EventRecord& r = source_->doc().record(record_);
    const auto event = static_cast<std::size_t>(std::max(0, r.info.currentEvent));
    if (event < r.info.events.size() && r.info.events[event].originTime.year > 0)
        s.marks.push_back({first_ + offset_ +
                               secondsBetween(r.header.startTime, r.info.events[event].originTime) -
                               r.header.startTimeOffset,
                           "Origin", views::Rgb{160, 0, 160}});
    return s;
}

bool HelicorderWindow::showInEventWindow(double t) {
    if (!source_ || record_ >= source_->doc().recordCount()) return false;
    views::EqViewModel& m = source_->view()->model();
    const double intoRecord = t - first_ - offset_;
    if (intoRecord < 0 || intoRecord > m.durationSeconds()) {
        status_->setText("That time lies beyond the event window's record");
        return false;
    }
    m.setSpan(std::min(60.0, static_cast<double>(std::max(1, m.durationSeconds()))));
    m.scrollTo(std::max(0, static_cast<int>(intoRecord - m.spanSeconds() / 2)));
    source_->refresh();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(source_->parentWidget()))
        if (QMdiArea* mdi = sub->mdiArea()) mdi->setActiveSubWindow(sub);
    return true;
}

bool HelicorderWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != canvas_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter p(canvas_);
        views::paintHelicorder(p, canvas_->size(), layout_, scene(), ctx_.style);
        return true;
    }
    case QEvent::Resize:
        relayout();
        return false;
    case QEvent::MouseButtonPress: {
        const auto* e = static_cast<QMouseEvent*>(event);
        const QPoint at = e->position().toPoint();
        if (e->button() != Qt::LeftButton) return false;
        if (const std::optional<double> t = layout_.timeAt(at.x(), at.y())) showInEventWindow(*t);
        return true;
    }
    case QEvent::Wheel:
        QApplication::sendEvent(scroll_, event);
        return true;
    default:
        return false;
    }
}

QImage HelicorderWindow::picture(int width, int height) {
    const int scrolled = layout_.scroll();
    layout_.setScroll(0);
    QImage image = views::helicorderPicture(width, height, layout_, scene(), ctx_.style);
    layout_.setSize(canvas_->width(), canvas_->height());
    layout_.setScroll(scrolled);
    return image;
}

void HelicorderWindow::saveGif() {
    const std::string name =
        gifNameBeside(source_ ? source_->doc().fileName(record_) : "helicorder", "_heli.gif");
    saveWindowPicture(this, ctx_.settings, ctx_.ini, ctx_.messages, name,
                      [this](int width, int height) { return picture(width, height); });
}

void HelicorderWindow::print() {
    const QSize size(1024, 1400);
    const int scrolled = layout_.scroll();
    printWindowPicture(this, size, [this, size](QPainter& p) {
        layout_.setScroll(0);
        views::paintHelicorder(p, size, layout_, scene(), ctx_.style, true);
    });
    layout_.setSize(canvas_->width(), canvas_->height());
    layout_.setScroll(scrolled);
}

HelicorderWindow* openHelicorderWindow(EventWindow& source, QMdiArea* mdi, AppContext& context) {
    auto* window = new HelicorderWindow(context, source);
    std::string error;
    if (!window->load(error)) {
        context.messages.error(error);
        delete window;
        return nullptr;
    }
    window->setWindowTitle(QString::fromStdString(format("Helicorder - %s", source.doc().title().c_str())));
    QMdiSubWindow* sub = mdi->addSubWindow(window);
    sub->resize(std::max(500, mdi->width() * 3 / 4), std::max(400, mdi->height() * 3 / 4));
    sub->show();
    return window;
}

} // namespace tlx::app
