#include "services/smtp_sender.h"

#include "core/debug_log.h"
#include "core/text.h"
#include "platform/tcp_socket.h"
#include "platform/tls_stream.h"
#include "services/base64_coder.h"
#include "services/smtp_reply.h"

#include <optional>
#include <system_error>
#include <unistd.h>

namespace tlx {

const char* const kPlainLoginRefused =
    "The connection to the mail server is not encrypted (no TLS), so the password would be sent in "
    "the clear. Use a server that offers STARTTLS or SSL/TLS, or allow a login without encryption "
    "in the SMTP settings.";

namespace {

constexpr std::size_t kDataChunk = 512;
constexpr int kQuitWaitMs = 2000;

bool isBlank(char c) {
    return c == ' ' || c == ',' || c == '\t' || c == '\r' || c == '\n';
}

// Carries out the dialogue; every failure goes through fail(), which ends it with QUIT.
class SmtpDialogue {
  public:
    SmtpDialogue(const MailRecord& record, const MailTransport& transport, SendState& state)
        : r_(record), t_(transport), state_(state) {}
    bool run(const std::string& message);

  private:
    bool connect();
    bool startTls();
    bool greet(bool& startTlsOffered);
    bool login();
    bool envelope();
    bool data(const std::string& message);
    bool send(const std::string& command, bool secret = false);
    bool expect(int code, const char* errorText, SmtpReply* out = nullptr);
    bool readReply(SmtpReply& reply, const char* errorText, int timeoutMs);
    bool fail(const std::string& text, const SmtpReply* reply = nullptr);
    void quit();

    const MailRecord& r_;
    const MailTransport& t_;
    SendState& state_;
    TcpSocket socket_;
    std::unique_ptr<TlsStream> tls_;
    ByteStream* stream_ = nullptr;
    std::optional<LineReader> lines_;
    std::string hostName_;
    bool failed_ = false;
};

bool SmtpDialogue::fail(const std::string& text, const SmtpReply* reply) {
    std::string message = text;
    if (reply && !reply->lines.empty()) message += "\n" + reply->joined();
    state_.fail(message);
    if (!failed_) {
        failed_ = true;
        quit();
    }
    return false;
}

void SmtpDialogue::quit() {
    if (!socket_.isOpen()) return;
    if (!state_.cancel.load() && stream_) {
        logLine("Send Quit in smtp_error");
        if (stream_->write("QUIT\r\n", kQuitWaitMs) == NetStatus::Ok && lines_) {
            SmtpReply reply;
            readSmtpReply(*lines_, kQuitWaitMs, reply);
        }
    }
    logLine("closeSmtpSocket");
    if (tls_) tls_->shutdown();
    socket_.close();
}

bool SmtpDialogue::send(const std::string& command, bool secret) {
    logFormat("Send = %s", secret ? "********" : command.c_str());
    const NetStatus status = stream_->write(command + "\r\n", t_.timeoutMs);
    if (status == NetStatus::Ok) return true;
    if (status == NetStatus::Cancelled) return fail("Cancelled");
    if (status == NetStatus::Timeout) return fail("Time-out: the mail server does not take data");
    return fail("Lost Connection!\n" + stream_->errorText());
}

bool SmtpDialogue::readReply(SmtpReply& reply, const char* errorText, int timeoutMs) {
    const ReplyStatus status = readSmtpReply(
        *lines_, timeoutMs, reply, [](const std::string& line) { logFormat("Rec line = %s", line.c_str()); });
    switch (status) {
    case ReplyStatus::Ok:
        return true;
    case ReplyStatus::Timeout:
        return fail("Time-out: no answer from the mail server");
    case ReplyStatus::Closed:
        return fail("Lost Connection!");
    case ReplyStatus::Cancelled:
        return fail("Cancelled");
    case ReplyStatus::Error:
        return fail("Lost Connection!\n" + stream_->errorText());
    case ReplyStatus::TooLong:
        return fail(errorText, &reply);
    }
    return fail(errorText);
}

bool SmtpDialogue::expect(int code, const char* errorText, SmtpReply* out) {
    SmtpReply reply;
    if (!readReply(reply, errorText, t_.timeoutMs)) return false;
    if (reply.code != code) return fail(errorText, &reply);
    if (out) *out = std::move(reply);
    return true;
}

bool SmtpDialogue::connect() {
    if (r_.server.empty()) return fail("Can't resolve host name");
    state_.setStatus(format("Opening Connection with %s", r_.server.c_str()));
    logFormat("Before Socket Connect to %s", r_.server.c_str());
    socket_.setCancelFlag(&state_.cancel);
    const NetStatus status = socket_.connect(r_.server, r_.port, t_.timeoutMs);
    if (status == NetStatus::Cancelled) return fail("Cancelled");
    if (status != NetStatus::Ok) {
        state_.fail(format("Can't connect to %s\n%s", r_.server.c_str(), socket_.errorText().c_str()));
        return false;
    }
    stream_ = &socket_;
    lines_.emplace(*stream_, kSmtpLineLength);
    return true;
}

bool SmtpDialogue::startTls() {
    state_.setStatus("Starting TLS...");
    tls_ = std::make_unique<TlsStream>(socket_, &state_.cancel);
    TlsOptions options;
    options.caFile = t_.caFile;
    const NetStatus status = tls_->handshake(r_.server, options, t_.timeoutMs);
    if (status == NetStatus::Cancelled) return fail("Cancelled");
    if (status != NetStatus::Ok) {
        const std::string error = tls_->errorText();
        tls_.reset();
        stream_ = nullptr; // a failed handshake leaves nothing to say QUIT over
        return fail("Can't start a secure connection with " + r_.server + "\n" + error);
    }
    stream_ = tls_.get();
    lines_.emplace(*stream_, kSmtpLineLength);
    return true;
}

bool SmtpDialogue::greet(bool& startTlsOffered) {
    startTlsOffered = false;
    const bool ehlo = r_.authType == 1 || t_.security != MailSecurity::None;
    if (!send(format("%s %s", ehlo ? "EHLO" : "HELO", hostName_.c_str()))) return false;
    SmtpReply reply;
    if (!readReply(reply, "SMTP server error", t_.timeoutMs)) return false;
    if (reply.code != 250) {
        // An old server without EHLO still takes plain mail without a login.
        if (!ehlo || r_.authType == 1 || t_.security != MailSecurity::Auto || tls_)
            return fail("SMTP server error", &reply);
        if (!send("HELO " + hostName_)) return false;
        return expect(250, "SMTP server error");
    }
    for (const std::string& text : reply.texts())
        if (iequals(trim(text), "STARTTLS")) startTlsOffered = true;
    return true;
}

bool SmtpDialogue::login() {
    const char* bad = "Bad authentication response from mail server";
    if (!send("AUTH LOGIN")) return false;
    SmtpReply reply;
    do {
        if (!readReply(reply, bad, t_.timeoutMs)) return false;
    } while (reply.code == 250);
    if (reply.code != 334 || !iequals(CBase64Coder::decode(reply.texts().back()), "Username:"))
        return fail(bad, &reply);
    if (!send(CBase64Coder::encode(r_.account), true)) return false;
    if (!expect(334, bad, &reply)) return false;
    if (!iequals(CBase64Coder::decode(reply.texts().back()), "Password:")) return fail(bad, &reply);
    if (!send(CBase64Coder::encode(r_.password), true)) return false;
    return expect(235, bad);
}

bool SmtpDialogue::envelope() {
    state_.setStatus("Sending Header...");
    std::string from = r_.fromAddress;
    std::erase_if(from, [](char c) { return c == '\r' || c == '\n'; });
    if (!send("MAIL From:<" + from + ">")) return false;
    if (!expect(250, "SMTP Error, server does not like From: field.")) return false;
    const std::vector<std::string> recipients = smtpRecipients(r_.to);
    if (recipients.empty())
        return fail(format("The mail server does not like the Send To user name %s", r_.to.c_str()));
    for (const std::string& to : recipients) {
        if (!send("RCPT To: <" + to + ">")) return false;
        const std::string error =
            format("The mail server does not like the Send To user name %s", to.c_str());
        if (!expect(250, error.c_str())) return false;
    }
    return true;
}

bool SmtpDialogue::data(const std::string& message) {
    if (!send("DATA")) return false;
    if (!expect(354, "Mail server error accepting message data")) return false;
    state_.setStatus("Sending Data...");
    SmtpDataEncoder encoder;
    const long long total = static_cast<long long>(message.size());
    long long sent = 0, reported = 0;
    for (std::size_t at = 0; at < message.size(); at += kDataChunk) {
        const std::string chunk = encoder.feed(std::string_view(message).substr(at, kDataChunk));
        const NetStatus status = stream_->write(chunk, t_.timeoutMs);
        if (status == NetStatus::Cancelled) return fail("Cancelled");
        if (status == NetStatus::Timeout) return fail("Time-out: the mail server does not take data");
        if (status != NetStatus::Ok) return fail("Lost Connection!\n" + stream_->errorText());
        sent = std::min<long long>(total, static_cast<long long>(at + kDataChunk));
        state_.progress(sent, total);
        if (sent - reported > static_cast<long long>(kDataChunk)) {
            state_.setStatus(format("Sending Data: %lld bytes of %lld bytes", sent, total));
            reported = sent;
        }
    }
    state_.progress(total, total);
    const std::string end = encoder.finish();
    logFormat("Send = %s", end == ".\r\n" ? "." : "<CR><LF>.");
    const NetStatus status = stream_->write(end, t_.timeoutMs);
    if (status != NetStatus::Ok)
        return fail(status == NetStatus::Cancelled ? "Cancelled"
                                                   : "Lost Connection!\n" + stream_->errorText());
    return expect(250, "Message not accepted by SMTP server");
}

bool SmtpDialogue::run(const std::string& message) {
    const bool implicit =
        t_.security == MailSecurity::Implicit || (t_.security == MailSecurity::Auto && r_.port == 465);
    if (r_.authType == 1 && t_.security == MailSecurity::None && !t_.allowPlainLogin) {
        state_.fail(kPlainLoginRefused);
        return false;
    }
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) {
        state_.fail("Can't get local host name");
        return false;
    }
    hostName_ = host;
    if (!connect()) return false;
    if (implicit && !startTls()) return false;
    if (!expect(220, "SMTP server error")) return false;
    state_.setStatus("Sending Message...");
    bool startTlsOffered = false;
    if (!greet(startTlsOffered)) return false;
    if (!tls_ && t_.security != MailSecurity::None) {
        if (startTlsOffered) {
            if (!send("STARTTLS") || !expect(220, "SMTP server error")) return false;
            // Bytes sent ahead of the handshake would be taken as if they came encrypted.
            if (!lines_->takeBuffered().empty())
                return fail("SMTP server error: data ahead of the TLS handshake");
            if (!startTls() || !greet(startTlsOffered)) return false;
        } else if (t_.security == MailSecurity::StartTls) {
            return fail("The mail server does not offer STARTTLS");
        }
    }
    if (r_.authType == 1) {
        if (!tls_ && !t_.allowPlainLogin) return fail(kPlainLoginRefused);
        if (!login()) return false;
    }
    if (!envelope() || !data(message)) return false;
    logLine("Send = QUIT");
    if (stream_->write("QUIT\r\n", kQuitWaitMs) == NetStatus::Ok) {
        SmtpReply reply;
        readSmtpReply(*lines_, kQuitWaitMs, reply);
    }
    if (tls_) tls_->shutdown();
    socket_.close();
    state_.setStatus("Done...");
    return true;
}

} // namespace

std::vector<std::string> smtpRecipients(std::string_view to) {
    std::string cleaned;
    int depth = 0;
    bool quoted = false;
    for (const char c : to) {
        if (quoted) {
            quoted = c != '\'';
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && depth > 0) {
            --depth;
        } else if (depth == 0 && c == '\'') {
            quoted = true;
        } else if (depth == 0) {
            cleaned += c;
        }
    }
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < cleaned.size()) {
        while (i < cleaned.size() && isBlank(cleaned[i]))
            ++i;
        std::size_t end = i;
        while (end < cleaned.size() && !isBlank(cleaned[end]))
            ++end;
        if (end > i) {
            std::string word = cleaned.substr(i, end - i);
            if (word.size() > 2 && word.front() == '<' && word.back() == '>')
                word = word.substr(1, word.size() - 2);
            out.push_back(std::move(word));
        }
        i = end;
    }
    return out;
}

std::string SmtpDataEncoder::feed(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16 + 4);
    for (const char c : bytes) {
        if (c == '\r' && previous_ == '\r') continue;
        if (c == '\n' && previous_ != '\r') out += '\r';
        if (lineStart_ && c == '.') out += '.';
        out += c;
        lineStart_ = c == '\n';
        previous_ = c;
    }
    return out;
}

std::string SmtpDataEncoder::finish() const {
    return previous_ == '\n' ? ".\r\n" : "\r\n.\r\n";
}

bool sendMailMessage(const MailRecord& record, const MailTransport& transport, const std::string& message,
                     SendState& state) {
    SmtpDialogue dialogue(record, transport, state);
    const bool ok = dialogue.run(message);
    if (!ok && state.snapshot().error.empty()) state.fail("SMTP server error");
    state.finish();
    return ok;
}

MailSendWorker::~MailSendWorker() {
    cancel();
    wait();
}

bool MailSendWorker::start(MailRecord record, MailTransport transport, std::string message) {
    state_.setStatus("Initializing...");
    try {
        thread_ = std::thread(
            [this, record = std::move(record), transport = std::move(transport),
             message = std::move(message)] { sendMailMessage(record, transport, message, state_); });
    } catch (const std::system_error&) {
        state_.fail("Can't create send thread");
        state_.finish();
        return false;
    }
    return true;
}

void MailSendWorker::wait() {
    if (thread_.joinable()) thread_.join();
}

} // namespace tlx
