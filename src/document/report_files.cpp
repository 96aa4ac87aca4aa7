#include "document/report_files.h"

#include "core/debug_log.h"
#include "document/eq_doc.h"

namespace tlx {

ReportFilesResult addReportToFiles(const std::vector<std::string>& files, const AddReport& add,
                                   const LoaderSettings& settings) {
    ReportFilesResult result;
    for (const std::string& file : files) {
        RecordingMessages messages(Answer::No);
        EventLoader loader(messages, settings);
        CEqDoc doc(messages, loader, nullptr, LoadMode::Picture);
        const bool inPlace = doc.open(file) && messages.messages().empty() &&
                             (doc.fileKind() == kKindSvxVolume ||
                              (doc.fileKind() == kKindSvx4 && doc.subKind() == SubKind::Binary));
        bool saved = false;
        if (inPlace) {
            for (int i = 0; i < doc.recordCount(); ++i) {
                add(doc.editRecord(i));
                doc.setRecordModified(i);
            }
            saved = doc.save(SaveMode::Save);
        }
        for (const std::string& text : messages.texts())
            logFormat("add report %s: %s", file.c_str(), text.c_str());
        if (saved)
            ++result.changed;
        else
            result.unchanged.push_back(file);
    }
    return result;
}

} // namespace tlx
