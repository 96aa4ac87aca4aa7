// One earthquake of a report list, its texts in the Event Report list, and how a chosen row is
// stored into a record as an event entry.
#pragma once

#include "record/event_record.h"

#include <cstdint>
#include <string>

namespace tlx {

constexpr std::size_t kMaxReportComment = 79;
constexpr std::size_t kMaxReportMagType = 4;
constexpr std::size_t kMaxReportId = 5;
constexpr std::size_t kMaxReportAgency = 6;

struct ReportRow {
    int year = 0; // years since 1900
    int month = 0, day = 0, hour = 0, minute = 0, second = 0, tenths = 0;
    double latitude = 0, longitude = 0, depth = 0;
    double magnitude = 0, magnitude2 = 0; // 0: none
    std::string magType, magType2, comment, id, agency;
    char quality = 0;   // 'A'..'E' or 0
    char eventType = 0; // first letter of the type text, e.g. 'E'

    // Seconds since 1970 of the origin time (whole seconds).
    std::int64_t epochSeconds() const;
    EventTime originTime() const;
};

// The list's columns: "%02d/%02d/%02d %02d:%02d:%02d", "35.7N", "121.1W", "M6.5" or "  ???  ", "7.6km".
std::string reportTimeText(const ReportRow& row);
std::string reportLatitudeText(double latitude);
std::string reportLongitudeText(double longitude);
std::string reportMagnitudeText(const ReportRow& row);
std::string reportDepthText(const ReportRow& row);
// "%-5.2fkm  %-5.2fmi\n" from the station to the epicentre; empty when the station is unknown.
std::string reportDistanceText(const ReportRow& row, double stationLat, double stationLon);
// What "Save on Clipboard" copies.
std::string reportClipboardText(const ReportRow& row);

// The event entry a row becomes, and the record comment composed for it (larger magnitude,
// distance from the record's station, the row's comment and id).
EventEntry reportEventEntry(const ReportRow& row);
std::string reportRecordComment(const ReportRow& row, const EventRecord& record);
// Stores the row in one record: its entry appended (after clearing the old ones when replacing)
// and made current, and the composed comment.
void storeReport(EventRecord& record, const ReportRow& row, bool replace);

// Collapses blank runs, cuts at "</" and drops trailing blanks (report comments).
std::string cleanReportComment(std::string_view text);

} // namespace tlx
