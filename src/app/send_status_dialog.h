// "Send E-Mail Status": runs one send on its worker thread and shows its progress, polled by a
// 1000 ms timer; Cancel stops the send. Accepted when the server took the message.
#pragma once

#include "services/smtp_sender.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace tlx::app {

class CSendStat : public QDialog {
  public:
    CSendStat(MailRecord record, MailTransport transport, std::string message, QWidget* parent = nullptr);
    int exec() override;
    const std::string& error() const { return error_; }
    // Runs the dialog modally; true when sent, else the error text in `error`.
    static bool send(const MailRecord& record, const MailTransport& transport, const std::string& message,
                     QWidget* parent, std::string& error);

  private:
    void tick();

    MailRecord record_;
    MailTransport transport_;
    std::string message_;
    MailSendWorker worker_;
    QLabel* percent_;
    QLabel* status_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    QTimer* timer_;
    std::string error_;
};

} // namespace tlx::app
