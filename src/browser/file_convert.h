// "Convert": which selected files are old SVX Type 2/3 files or carry an old short name, the
// counts the question shows, and what each file becomes for the chosen answer.
#pragma once

#include "record/format_reader.h"

#include <string>
#include <vector>

namespace tlx::browser {

enum class ConvertChoice { Both, Format, Name };

// One selected file as read from disk.
struct ConvertCandidate {
    std::string path;
    bool oldFormat = false;   // SVX Type 2 or 3
    bool oldName = false;     // not yet in the long form
    std::string formatTarget; // Format alone: the name with ".svx" ensured
    std::string longTarget;   // the long form from the header as SVX Type 4 would carry it
    std::string renameTarget; // Name alone: the long form this file's own format gets
};

// Reads the header of each file; unreadable files, hidden files and files of other kinds are left
// out. `useEventTime`: setting "UseEventTime" of the long names.
std::vector<ConvertCandidate> convertCandidates(const std::vector<std::string>& paths,
                                                const LoaderSettings& settings, bool useEventTime);

struct ConvertCounts {
    int format = 0, name = 0;
};
ConvertCounts countConvertible(const std::vector<ConvertCandidate>& candidates);
// "Format: 1 File to Convert", "Name: 3 Files to Convert", "Format: No Files to Convert".
std::string convertCountText(const char* what, int count);

struct ConvertStep {
    std::string source, target;
    bool rewrite = false;      // written as SVX Type 4; otherwise renamed
    bool removeSource = false; // the old file goes once the new one is complete
};
std::vector<ConvertStep> planConvert(const std::vector<ConvertCandidate>& candidates, ConvertChoice choice);

// Carries out the steps; returns how many succeeded. A step never replaces another existing file,
// and a rewritten file's source stays until the new file is complete.
int runConvert(const std::vector<ConvertStep>& steps, const LoaderSettings& settings, Messages& messages);

} // namespace tlx::browser
