// The mail record the send dialog, the remote requests and the console fill, and how the
// connection to the server is secured.
#pragma once

#include <string>
#include <vector>

namespace tlx {

constexpr int kMaxAttachments = 4;

struct MailRecord {
    std::string to;          // recipients separated by blanks, commas, tabs or line ends
    std::string fromAddress; // the sender's address
    std::string senderName;
    std::string server;
    std::string account;  // AUTH LOGIN user name
    std::string password; // AUTH LOGIN password
    std::string subject;
    std::string body; // as typed; the message ends it with CR LF
    int port = 25;
    std::vector<std::string> attachments; // paths, at most kMaxAttachments
    int authType = 0;                     // 0 none, 1 AUTH LOGIN
};

// Auto: implicit TLS on port 465, else STARTTLS whenever the server offers it.
enum class MailSecurity { Auto, StartTls, Implicit, None };

struct MailTransport {
    MailSecurity security = MailSecurity::Auto;
    std::string caFile;           // extra trusted certificates (PEM); empty: the system's store
    bool allowPlainLogin = false; // send a login over a connection without TLS
    int timeoutMs = 30000;        // each wait for the server
};

// "auto", "starttls", "implicit", "none"; false for anything else.
bool parseMailSecurity(const std::string& text, MailSecurity& out);
const char* mailSecurityName(MailSecurity security);

} // namespace tlx
