// The event database eventdb.dat: one text line per event of each indexed file, created from a
// folder tree with header-only loads and searched without opening the files again.
#pragma once

#include "browser/search_criteria.h"
#include "record/event_record.h"
#include "record/loader.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tlx::browser {

inline constexpr const char* kDatabaseFileName = "eventdb.dat";

struct DatabaseLine {
    std::string path;
    CivilTime start; // start time with the record's offset applied
    std::string station;
    char component = '?';
    double magnitude = 0;
    long long distanceKm = 0;
    double depth = 0;
};

// The start time with the record's offset applied.
CivilTime recordStart(const EventRecord& record);
// The orientation letter, '?' when the record has none.
char componentLetter(const EventRecord& record);
// The largest non-zero magnitude of an event, in magnitude units; 0 when it has none.
double eventMagnitude(const EventEntry& event);
// Great-circle km from the sensor to the event; none when a position is unknown or out of range.
std::optional<double> eventDistanceKm(const EventRecord& record, const EventEntry& event);

// One line per event of the record, or one with the event part "0,0,0" when it has none.
std::vector<DatabaseLine> linesForRecord(const std::string& path, const EventRecord& record);

std::string formatLine(const DatabaseLine& line);
// Parses from the right, so a path may itself hold commas; none when the line is damaged.
std::optional<DatabaseLine> parseLine(std::string_view text);

struct DatabaseFile {
    int count = 0;
    std::string root;
    std::vector<DatabaseLine> lines;
};
// Reads the three header lines and every data line; a damaged line is skipped with a note in
// tlx.log. False when the file cannot be read or is not a database.
bool readDatabase(const std::filesystem::path& path, DatabaseFile& out);
bool parseDatabase(std::string_view text, DatabaseFile& out);

// Status texts as the dialog shows them; returning false stops the run.
using Progress = std::function<bool(const std::string& status)>;

struct CreateResult {
    bool ok = false;
    int records = 0;
    std::string message; // "Database File Created - %d Records" and the other fixed texts
};
// Indexes every readable event file under `root` (GSE2.0 files are left out). The file is written
// through a temporary file, so a failed or stopped run leaves the previous database in place.
CreateResult createDatabase(const std::filesystem::path& root, const std::filesystem::path& target,
                            EventLoader& loader, const Progress& progress = {});

// Paths of the lines that pass, in file order, at most `maxFiles`.
std::vector<std::string> searchDatabase(const DatabaseFile& db, const SearchCriteria& criteria);

} // namespace tlx::browser
