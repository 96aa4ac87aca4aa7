// The browser's "Add Report": an event report stored into the records of event files on disk,
// each file read into a document of its own and written back with the writer of Save.
#pragma once

#include "record/loader.h"
#include "record/svx4_writer.h"

#include <string>
#include <vector>

namespace tlx {

struct ReportFilesResult {
    int changed = 0;
    std::vector<std::string> unchanged; // files left as they were
};

// `add` stores the report in one record. Only files that Save rewrites in place (SVX Type 4 and
// data-set volumes) are changed, and only when they load without complaint: a file with a CRC
// error is not rewritten with a fresh CRC.
ReportFilesResult addReportToFiles(const std::vector<std::string>& files, const AddReport& add,
                                   const LoaderSettings& settings);

} // namespace tlx
