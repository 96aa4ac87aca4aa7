// The complete MIME message of a mail record, built in memory: a text part and up to four
// attachments in base64.
#pragma once

#include "services/mail_record.h"

#include <string>

namespace tlx {

// The local time the Date line and the boundary are made from.
struct MailClock {
    int year = 1970, month = 1, day = 1, weekday = 4; // weekday 0 Sunday
    int hour = 0, minute = 0, second = 0;
    int utcOffsetMinutes = 0; // local time minus UTC, daylight saving included
};
MailClock localMailClock();

struct MailMessageResult {
    bool ok = false;
    std::string text;  // the message
    std::string error; // "Error Opening %s File", "error reading file %s", …
};

// Attachments larger than this are refused ("error reading file %s").
constexpr std::size_t kMaxAttachmentBytes = 32u << 20;

MailMessageResult buildMailMessage(const MailRecord& record, const MailClock& clock);

// "+0100", "-0330": the zone of the Date line.
std::string mailZoneText(int utcOffsetMinutes);
// The name an attachment is given: the text after the last backslash, slash or colon.
std::string attachmentName(const std::string& path);

} // namespace tlx
