// Filling the send dialog from event files, and the checks the dialog makes before it builds.
#pragma once

#include "services/mail_record.h"

#include <functional>
#include <string>
#include <vector>

namespace tlx {

// The maker's event archive: files sent there must be SVX event files.
inline constexpr const char* kArchiveAddress = "archive@svx-events.invalid";

struct ComposedMail {
    std::vector<std::string> attachments; // readable, non-empty files only
    std::string listing;                  // "path (N bytes)" a line
    std::string subject;
    std::string error; // "Too many files selected. Maximum = 4 files."
};

// `firstComment` is the first file's stored event comment ("" when it has none).
ComposedMail composeEventMail(const std::vector<std::string>& paths, const std::string& senderName,
                              const std::string& firstComment);

// "" when the mail may be built; else the message to show. `openModified` tells whether a path
// is open in an event window with unsaved changes; `archiveFormat` whether every attachment is an
// SVX event file.
std::string checkMailBeforeSend(const MailRecord& record,
                                const std::function<bool(const std::string&)>& openModified,
                                bool archiveFormat);

} // namespace tlx
