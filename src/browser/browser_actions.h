// What the browser's buttons do with the selected rows, decided without the dialog: which files
// open together, when a data set is entered, and the e-mail draft of "Send Email".
#pragma once

#include "browser/file_entry.h"

#include <string>
#include <vector>

namespace tlx::browser {

// One event window: files, or channels of files[0] when `channels` is not empty, loaded with
// the forced kind of the volume's format.
struct OpenGroup {
    std::vector<std::string> files;
    std::vector<int> channels;
    int forcedKind = kForceNone;
};

// The forced load that reads one channel of a data set of this file kind.
int channelForcedKind(int kind);

struct OpenPlan {
    enum class Action { Nothing, Message, EnterDataSet, Open } action = Action::Nothing;
    std::string message;
    std::string dataSetPath;
    std::vector<OpenGroup> groups;
};

// `dataSetMode`: the rows are channels of one volume.
OpenPlan planOpen(const std::vector<const FileEntry*>& selected, bool dataSetMode);

struct MailDraft {
    bool ok = false;
    std::string message; // shown instead when not ok
    std::string subject;
    std::string body;
    std::vector<std::string> attachments;
};
// One to four non-empty files; `sizes` in the order of `paths`.
MailDraft planMail(const std::vector<std::string>& paths, const std::vector<std::uintmax_t>& sizes,
                   const std::string& station);

} // namespace tlx::browser
