#include "services/mail_message.h"

#include "core/file_io.h"
#include "core/text.h"
#include "services/base64_coder.h"

#include <cstdint>
#include <ctime>
#include <filesystem>

namespace tlx {

namespace {

constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kVersion = "3.5.0";
constexpr std::size_t kBase64LineLength = 76; // servers refuse lines beyond 998 characters

// A header value on one line: a line end inside it would start a header of the sender's choosing.
std::string headerValue(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

// Every line end of the typed text (CR LF, LF or CR alone) as CR LF.
std::string crlfText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32 + 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

std::string quotedName(std::string name) {
    for (char& c : name)
        if (c == '"' || c == '\\' || c == '\r' || c == '\n') c = '_';
    return name;
}

} // namespace

MailClock localMailClock() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    MailClock clock;
    clock.year = local.tm_year + 1900;
    clock.month = local.tm_mon + 1;
    clock.day = local.tm_mday;
    clock.weekday = local.tm_wday;
    clock.hour = local.tm_hour;
    clock.minute = local.tm_min;
    clock.second = local.tm_sec;
    clock.utcOffsetMinutes = static_cast<int>(local.tm_gmtoff / 60);
    return clock;
}

std::string mailZoneText(int utcOffsetMinutes) {
    const int magnitude = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
    return format("%c%02d%02d", utcOffsetMinutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
}

std::string attachmentName(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

MailMessageResult buildMailMessage(const MailRecord& record, const MailClock& clock) {
    MailMessageResult result;
    if (record.attachments.size() > static_cast<std::size_t>(kMaxAttachments)) {
        result.error = "Too many files selected. Maximum = 4 files.";
        return result;
    }
    // Every attachment is read before anything is built, so an unreadable one stops the send.
    std::vector<std::string> contents;
    for (const std::string& path : record.attachments) {
        std::string bytes;
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec)) {
            result.error = format("Error Opening %s File", path.c_str());
            return result;
        }
        if (!readTextFile(path, bytes, kMaxAttachmentBytes)) {
            result.error = format("error reading file %s", path.c_str());
            return result;
        }
        contents.push_back(std::move(bytes));
    }

    std::string& m = result.text;
    m.reserve(record.body.size() + 4096);
    const int weekday = clock.weekday >= 0 && clock.weekday < 7 ? clock.weekday : 0;
    const int month = clock.month >= 1 && clock.month <= 12 ? clock.month : 1;
    m += format("Date: %s, %.2d %s %.2d %.2d:%.2d:%.2d ", kDays[weekday], clock.day, kMonths[month - 1],
                clock.year, clock.hour, clock.minute, clock.second);
    m += mailZoneText(clock.utcOffsetMinutes) + "\r\n";
    if (record.senderName.empty())
        m += "From: " + headerValue(record.fromAddress) + "\r\n";
    else
        m += "From: " + headerValue(record.senderName) + " <" + headerValue(record.fromAddress) + ">\r\n";
    m += "Subject: " + headerValue(record.subject) + "\r\n";
    m += "To: " + headerValue(record.to) + "\r\n";
    m += "MIME-Version: 1.0\r\n";
    const std::string body = crlfText(record.body) + "\r\n";
    const std::string mailer = format("X-Mailer: Tellurix %s\r\n\r\n", kVersion);
    if (contents.empty()) {
        m += "Content-Type: text/plain; charset=\"us-ascii\"\r\n";
        m += "Content-Transfer-Encoding: 7bit\r\n";
        m += mailer;
        m += body;
        result.ok = true;
        return result;
    }
    const std::string boundary = format("=====================_%d==_", clock.year + 65536 * clock.month);
    m += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
    m += mailer;
    m += "--" + boundary + "\r\n";
    m += "Content-Type: text/plain; charset=\"us-ascii\"\r\n\r\n";
    m += body + "\r\n\r\n";
    m += "--" + boundary + "\r\n";
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const std::string name = quotedName(attachmentName(record.attachments[i]));
        m += "Content-Type: application/octet-stream; name=\"" + name + "\"\r\n";
        m += "Content-Transfer-Encoding: base64\r\n";
        m += "Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n";
        const std::string encoded = CBase64Coder::encode(contents[i]);
        m.reserve(m.size() + encoded.size() + encoded.size() / kBase64LineLength * 2 + 256);
        for (std::size_t at = 0; at < encoded.size(); at += kBase64LineLength) {
            m.append(encoded, at, kBase64LineLength);
            m += "\r\n";
        }
        if (encoded.empty()) m += "\r\n";
        m += "--" + boundary + (i + 1 < contents.size() ? "\r\n" : "--\r\n");
    }
    result.ok = true;
    return result;
}

bool parseMailSecurity(const std::string& text, MailSecurity& out) {
    const std::string t = toLower(text);
    if (t == "auto")
        out = MailSecurity::Auto;
    else if (t == "starttls")
        out = MailSecurity::StartTls;
    else if (t == "implicit")
        out = MailSecurity::Implicit;
    else if (t == "none")
        out = MailSecurity::None;
    else
        return false;
    return true;
}

const char* mailSecurityName(MailSecurity security) {
    switch (security) {
    case MailSecurity::StartTls:
        return "starttls";
    case MailSecurity::Implicit:
        return "implicit";
    case MailSecurity::None:
        return "none";
    case MailSecurity::Auto:
        break;
    }
    return "auto";
}

} // namespace tlx
