#include "browser/file_search.h"

#include "browser/file_walk.h"
#include "core/text.h"

namespace tlx::browser {
namespace fs = std::filesystem;

bool liveMatch(const EventRecord& record, const SearchCriteria& criteria) {
    const CandidateFilter f(criteria);
    if (!f.anyMagOrDistBound() || record.info.events.empty()) return false;
    const bool bothDepths = f.minDepth != 0 && f.maxDepth != 0;
    bool mag = false, dist = false, depth = false;
    for (const EventEntry& e : record.info.events) {
        const double m = eventMagnitude(e);
        if (m == 0) return false;
        mag = mag || rangeTest(m, f.minMag, f.maxMag);
        dist = dist || rangeTest(eventDistanceKm(record, e).value_or(0), f.minDist, f.maxDist);
        depth = depth || rangeTest(e.depth, f.minDepth, f.maxDepth, bothDepths);
    }
    if (!mag || !dist || !depth) return false;
    const CivilTime start = recordStart(record);
    return f.dateTest(daysFromCivil(start.year, start.month, start.day)) &&
           f.componentTest(componentLetter(record)) && f.stationTest(record.stationName());
}

std::vector<std::string> liveSearch(const fs::path& start, const SearchCriteria& criteria,
                                    EventLoader& loader, const Progress& progress) {
    std::vector<std::string> found;
    const std::vector<fs::path> dirs = collectDirectories(start, criteria.subdirectories);
    for (std::size_t i = 0; i < dirs.size(); ++i) {
        if (progress && !progress(format("Searching Directory %zu of %zu:\n%s", i + 1, dirs.size(),
                                         dirs[i].string().c_str())))
            break;
        for (const fs::path& file : listFiles(dirs[i])) {
            const LoadResult header = loader.readHeaderOnly(file);
            if (!header.ok || header.channels.empty() || header.kind == kKindGse2) continue;
            if (liveMatch(header.channels.front().record, criteria)) found.push_back(file.string());
        }
        if (static_cast<int>(found.size()) >= criteria.maxFiles) break;
    }
    return found;
}

} // namespace tlx::browser
