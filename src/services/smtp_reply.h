// One SMTP reply read from the server: lines whose fourth character is "-" are followed by more;
// the number at the start of the last line is the reply code. Lines and their count are bounded.
#pragma once

#include "platform/tcp_socket.h"

#include <functional>
#include <string>
#include <vector>

namespace tlx {

constexpr std::size_t kSmtpLineLength = 1000; // RFC 5321 reply line limit, CR LF included
constexpr int kSmtpMaxReplyLines = 200;

struct SmtpReply {
    int code = 0; // 0: the last line did not start with three digits
    std::vector<std::string> lines;
    // The text after the code of every line ("SIZE 1000", "STARTTLS", …).
    std::vector<std::string> texts() const;
    // The lines joined with line ends, for messages.
    std::string joined() const;
};

enum class ReplyStatus { Ok, Timeout, Closed, Cancelled, Error, TooLong };

// Reads one reply; `onLine` sees each line as it arrives (the log).
ReplyStatus readSmtpReply(LineReader& lines, int timeoutMs, SmtpReply& reply,
                          const std::function<void(const std::string&)>& onLine = {});

} // namespace tlx
