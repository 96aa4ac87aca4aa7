#include "app/send_status_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tlx::app {

CSendStat::CSendStat(MailRecord record, MailTransport transport, std::string message, QWidget* parent)
    : QDialog(parent), record_(std::move(record)), transport_(std::move(transport)),
      message_(std::move(message)) {
    setWindowTitle("Send E-Mail Status");
    auto* layout = new QVBoxLayout(this);
    status_ = new QLabel("Initializing...");
    status_->setMinimumWidth(360);
    status_->setWordWrap(true);
    percent_ = new QLabel("0%");
    bar_ = new QProgressBar;
    bar_->setRange(0, 100);
    bar_->setTextVisible(false);
    cancel_ = new QPushButton("Cancel");
    auto* row = new QHBoxLayout;
    row->addWidget(bar_, 1);
    row->addWidget(percent_);
    layout->addWidget(status_);
    layout->addLayout(row);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, [this] { tick(); });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (worker_.snapshot().finished)
            reject();
        else
            worker_.cancel(); // the next tick sees the thread end
    });
}

int CSendStat::exec() {
    if (!worker_.start(record_, transport_, message_)) {
        error_ = worker_.snapshot().error;
        return QDialog::Rejected;
    }
    timer_->start();
    return QDialog::exec();
}

void CSendStat::tick() {
    const SendSnapshot s = worker_.snapshot();
    percent_->setText(QString("%1%").arg(s.percent));
    bar_->setValue(s.percent);
    status_->setText(QString::fromStdString(s.failed ? "Send Error: " + s.error : s.status));
    if (!s.finished) return;
    timer_->stop();
    worker_.wait();
    if (!s.failed) {
        accept();
        return;
    }
    error_ = s.error;
    cancel_->setEnabled(true);
}

bool CSendStat::send(const MailRecord& record, const MailTransport& transport, const std::string& message,
                     QWidget* parent, std::string& error) {
    CSendStat dialog(record, transport, message, parent);
    const bool sent = dialog.exec() == QDialog::Accepted;
    error = dialog.error();
    if (!sent && error.empty()) error = "Cancelled";
    return sent;
}

} // namespace tlx::app
