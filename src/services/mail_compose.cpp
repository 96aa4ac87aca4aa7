#include "services/mail_compose.h"

#include "core/text.h"
#include "services/smtp_sender.h"

#include <filesystem>

namespace tlx {

ComposedMail composeEventMail(const std::vector<std::string>& paths, const std::string& senderName,
                              const std::string& firstComment) {
    ComposedMail out;
    if (paths.size() > static_cast<std::size_t>(kMaxAttachments)) {
        out.error = "Too many files selected. Maximum = 4 files.";
        return out;
    }
    for (const std::string& path : paths) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        if (ec || size == 0 || !std::filesystem::is_regular_file(path, ec)) continue;
        out.attachments.push_back(path);
        out.listing += format("%s (%llu bytes)\n", path.c_str(), static_cast<unsigned long long>(size));
    }
    if (!trim(firstComment).empty())
        out.subject = std::string(trim(firstComment));
    else
        out.subject =
            format(out.attachments.size() > 1 ? "New event files from %s" : "New event file from %s",
                   senderName.c_str());
    return out;
}

std::string checkMailBeforeSend(const MailRecord& record,
                                const std::function<bool(const std::string&)>& openModified,
                                bool archiveFormat) {
    for (const std::string& path : record.attachments)
        if (openModified && openModified(path))
            return "Error: One or more files has an open Event Window with modified data";
    if (!archiveFormat && !record.attachments.empty())
        for (const std::string& to : smtpRecipients(record.to))
            if (iequals(to, kArchiveAddress))
                return "Error: Event files sent to the SVX Archive system must be in SVX format.";
    return {};
}

} // namespace tlx
