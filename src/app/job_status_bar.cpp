#include "app/job_status_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace tlx::app {
namespace {

constexpr int kPollMs = 20;

} // namespace

JobStatusBar::JobStatusBar(QWidget* parent) : QWidget(parent) {
    status_ = new QLabel;
    progress_ = new QProgressBar;
    progress_->setRange(0, 100);
    cancel_ = new QPushButton("Cancel");
    auto* bar = new QHBoxLayout(this);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(status_, 1);
    bar->addWidget(progress_);
    bar->addWidget(cancel_);
    progress_->hide();
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (onCancel) onCancel();
    });
    connect(&poll_, &QTimer::timeout, this, [this] {
        if (pollJob_) pollJob_();
    });
}

void JobStatusBar::start(std::function<void()> poll, const QString& progressFormat) {
    pollJob_ = std::move(poll);
    setPercent(0, progressFormat);
    progress_->show();
    cancel_->show();
    poll_.start(kPollMs);
}

void JobStatusBar::setPercent(int percent, const QString& progressFormat) {
    progress_->setValue(percent);
    progress_->setFormat(progressFormat);
}

void JobStatusBar::finish() {
    poll_.stop();
    progress_->hide();
    cancel_->hide();
}

void JobStatusBar::setText(const QString& text) {
    status_->setText(text);
}

QString JobStatusBar::text() const {
    return status_->text();
}

} // namespace tlx::app
