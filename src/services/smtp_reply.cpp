#include "services/smtp_reply.h"

namespace tlx {

namespace {

int codeOf(const std::string& line) {
    if (line.size() < 3) return 0;
    int code = 0;
    for (int i = 0; i < 3; ++i) {
        const char c = line[static_cast<std::size_t>(i)];
        if (c < '0' || c > '9') return 0;
        code = code * 10 + (c - '0');
    }
    return code;
}

} // namespace

std::vector<std::string> SmtpReply::texts() const {
    std::vector<std::string> out;
    for (const std::string& line : lines)
        out.push_back(line.size() > 4 ? line.substr(4) : std::string());
    return out;
}

std::string SmtpReply::joined() const {
    std::string out;
    for (const std::string& line : lines) {
        if (!out.empty()) out += '\n';
        out += line;
    }
    return out;
}

ReplyStatus readSmtpReply(LineReader& lines, int timeoutMs, SmtpReply& reply,
                          const std::function<void(const std::string&)>& onLine) {
    reply = SmtpReply{};
    for (;;) {
        std::string line;
        switch (lines.readLine(line, timeoutMs)) {
        case NetStatus::Ok:
            break;
        case NetStatus::Timeout:
            return ReplyStatus::Timeout;
        case NetStatus::Closed:
            return ReplyStatus::Closed;
        case NetStatus::Cancelled:
            return ReplyStatus::Cancelled;
        case NetStatus::Error:
            return ReplyStatus::Error;
        }
        if (onLine) onLine(line);
        if (static_cast<int>(reply.lines.size()) >= kSmtpMaxReplyLines) return ReplyStatus::TooLong;
        reply.lines.push_back(line);
        if (line.size() >= 4 && line[3] == '-') continue;
        reply.code = codeOf(line);
        return ReplyStatus::Ok;
    }
}

} // namespace tlx
