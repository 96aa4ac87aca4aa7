// The live file search: every event file under a folder (or in it alone) loaded header-only and
// tested against the criteria.
#pragma once

#include "browser/event_database.h"
#include "browser/search_criteria.h"
#include "record/loader.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tlx::browser {

// Whether one loaded record passes a live search (its events supply magnitude, distance, depth).
bool liveMatch(const EventRecord& record, const SearchCriteria& criteria);

// Paths of the matching files in the order found. The maximum is checked after each folder, so a
// folder with many matches may take the count past it.
std::vector<std::string> liveSearch(const std::filesystem::path& start, const SearchCriteria& criteria,
                                    EventLoader& loader, const Progress& progress = {});

} // namespace tlx::browser
