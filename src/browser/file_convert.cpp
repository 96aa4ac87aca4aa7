#include "browser/file_convert.h"

#include "core/debug_log.h"
#include "core/text.h"
#include "record/loader.h"
#include "record/save_naming.h"
#include "record/svx3.h"

#include <filesystem>

namespace tlx::browser {
namespace fs = std::filesystem;

std::vector<ConvertCandidate> convertCandidates(const std::vector<std::string>& paths,
                                                const LoaderSettings& settings, bool useEventTime) {
    RecordingMessages quiet;
    EventLoader loader(quiet, settings);
    std::vector<ConvertCandidate> out;
    for (const std::string& path : paths) {
        const fs::path file(path);
        if (file.filename().string().rfind('.', 0) == 0) continue; // hidden: not the user's event file
        const LoadResult header = loader.readHeaderOnly(file);
        if (!header.ok || header.channels.size() != 1 || header.kind != kKindSvx4) continue;
        const EventRecord& record = header.channels.front().record;
        ConvertCandidate c;
        c.path = path;
        std::string dir = file.parent_path().string();
        if (!dir.empty()) dir += '/';
        c.longTarget = longFileName(dir, record, useEventTime);
        if (header.subKind == SubKind::Type3) {
            c.oldFormat = true;
            c.formatTarget = applySaveExtension(path, kSaveSvx4);
            c.renameTarget = svx3LongName(file, record.header.startTime).string();
            c.oldName = c.renameTarget != path;
        } else if (header.subKind == SubKind::Binary && isShortArchiveName(file)) {
            c.oldName = true;
            c.renameTarget = c.longTarget;
        }
        if (c.oldFormat || c.oldName) out.push_back(std::move(c));
    }
    return out;
}

ConvertCounts countConvertible(const std::vector<ConvertCandidate>& candidates) {
    ConvertCounts n;
    for (const ConvertCandidate& c : candidates) {
        n.format += c.oldFormat ? 1 : 0;
        n.name += c.oldName ? 1 : 0;
    }
    return n;
}

std::string convertCountText(const char* what, int count) {
    if (count == 0) return format("%s: No Files to Convert", what);
    return format(count == 1 ? "%s: %d File to Convert" : "%s: %d Files to Convert", what, count);
}

std::vector<ConvertStep> planConvert(const std::vector<ConvertCandidate>& candidates, ConvertChoice choice) {
    std::vector<ConvertStep> steps;
    for (const ConvertCandidate& c : candidates) {
        if (c.oldFormat && choice != ConvertChoice::Name) {
            // Both: the long name, and the old file goes once the new one is complete. Format alone
            // keeps the old file beside the new one.
            const bool both = choice == ConvertChoice::Both;
            const std::string& target = both ? c.longTarget : c.formatTarget;
            steps.push_back({c.path, target, true, both && target != c.path});
        } else if (c.oldName && choice != ConvertChoice::Format) {
            steps.push_back({c.path, c.renameTarget, false, false});
        }
    }
    return steps;
}

int runConvert(const std::vector<ConvertStep>& steps, const LoaderSettings& settings, Messages& messages) {
    int done = 0;
    for (const ConvertStep& s : steps) {
        std::error_code ec;
        if (s.target != s.source && fs::exists(s.target, ec)) {
            logFormat("convert: %s not converted, %s exists", s.source.c_str(), s.target.c_str());
            continue;
        }
        bool ok = false;
        if (s.rewrite) {
            ok = convertSvx3ToSvx4(s.source, s.target, s.removeSource, settings, messages);
        } else {
            fs::rename(s.source, s.target, ec);
            ok = !ec;
        }
        logFormat("convert: %s -> %s %s", s.source.c_str(), s.target.c_str(), ok ? "done" : "failed");
        done += ok ? 1 : 0;
    }
    return done;
}

} // namespace tlx::browser
