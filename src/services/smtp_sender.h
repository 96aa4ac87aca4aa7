// The SMTP dialogue that delivers one built message: greeting, EHLO/HELO, STARTTLS or implicit
// TLS, AUTH LOGIN, envelope, and the data with dot-stuffing; and the worker thread that runs it.
#pragma once

#include "services/mail_record.h"
#include "services/send_state.h"

#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace tlx {

// The fixed text for a login that would travel without TLS.
extern const char* const kPlainLoginRefused;

// The recipients of a "to" text: parenthesised comments and single-quoted parts removed, split at
// blanks, commas, tabs and line ends; "<addr>" gives addr.
std::vector<std::string> smtpRecipients(std::string_view to);

// Turns message bytes into DATA bytes: a CR after a CR is dropped, a lone LF becomes CR LF, a "."
// that starts a line is doubled; finish() gives the end marker.
class SmtpDataEncoder {
  public:
    std::string feed(std::string_view bytes);
    std::string finish() const;

  private:
    char previous_ = 0;
    bool lineStart_ = true;
};

// Runs the whole dialogue on the calling thread; false with the error in state. Sets the
// finished flag last.
bool sendMailMessage(const MailRecord& record, const MailTransport& transport, const std::string& message,
                     SendState& state);

// One send on its own thread; the status dialog and the console poll snapshot().
class MailSendWorker {
  public:
    MailSendWorker() = default;
    ~MailSendWorker();
    MailSendWorker(const MailSendWorker&) = delete;
    MailSendWorker& operator=(const MailSendWorker&) = delete;

    // False when the thread cannot be started ("Can't create send thread" is in the state then).
    bool start(MailRecord record, MailTransport transport, std::string message);
    SendSnapshot snapshot() const { return state_.snapshot(); }
    void cancel() { state_.cancel = true; }
    // Waits for the thread to end.
    void wait();

  private:
    SendState state_;
    std::thread thread_;
};

} // namespace tlx
