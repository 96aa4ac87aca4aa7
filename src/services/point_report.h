// An event report made by the station operator from a point picked on the location map, with the
// origin time and magnitudes that an event window's P and S markers give.
#pragma once

#include "services/report_row.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tlx {

struct MarkerEvent {
    EventTime recordStart; // the first record's start after its start-time offset: gives the day
    std::int64_t originMs; // origin time of day on that day; below 0 on the day before
    double depthKm = 0;    // depth of the travel-time table in use
    std::vector<std::pair<std::string, double>> magnitudes; // shown ones, type and value, in order
};

struct GeoPoint {
    double lat = 0, lon = 0;
};

struct PointReport {
    std::optional<ReportRow> row;
    const char* error = nullptr; // the message when no row could be made
};

// The row for a picked point: "Mouse Location Error" without a usable point, "Error getting event
// time and magnitude" without an origin time. The origin is rounded to tenths of a second; the
// first two magnitudes become the row's magnitude and second magnitude. The comment stays empty
// (the report list gives it the region name).
PointReport makePointReport(const std::optional<GeoPoint>& point, const std::optional<MarkerEvent>& event);

inline constexpr const char* kPointReportAgency = "Map";

} // namespace tlx
