// REPORT.DAT: the user's column definitions of report lists, and the parsing of one report line
// with such a definition or with one of the four built-in parsers.
#pragma once

#include "services/report_row.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

enum class ReportKey {
    Date = 2,
    Time,
    Latitude,
    LatitudeNorth,
    LatitudeSouth,
    Longitude,
    LongitudeWest,
    LongitudeEast,
    Depth,
    Magnitude,
    MagType,
    Comment,
    ReportId,
    ReportType,
    Invert,
    QualityChar,
    EventType,
    AgencyName,
    Report1,
    Report2,
    Report3,
    Report4,
};

struct ReportField {
    ReportKey key = ReportKey::Date;
    int start = 0;  // 0-based column
    int length = 0; // characters
    std::string format;
};

struct ReportType {
    std::string name;
    std::string detect; // REPORT_TYPE text: a line holding it selects this type
    std::vector<ReportField> fields;
};

constexpr const char* kReportDatName = "REPORT.DAT";
constexpr std::size_t kMaxReportDatLine = 79;
constexpr std::size_t kMaxReportFields = 28;

// The types of a REPORT.DAT text; an unknown keyword ends the reading (the types so far stay).
std::vector<ReportType> parseReportDat(std::string_view text);
// From the local data folder, else the program folder; empty when neither holds the file.
std::vector<ReportType> loadReportDat(const std::vector<std::filesystem::path>& folders);

// Parses one line; false when the type rejects it. An empty comment stays empty here.
bool parseReportLine(const ReportType& type, std::string_view line, ReportRow& row);
// The built-in parsers 1..4 on a whole line.
bool parseBuiltinReport(int which, std::string_view line, ReportRow& row);

// US Pacific time (PST8PDT) to UTC for the date and time of a row, by the daylight rules in force
// in the row's year.
void pacificToUtc(ReportRow& row);

} // namespace tlx
