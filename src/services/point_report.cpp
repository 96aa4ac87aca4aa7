#include "services/point_report.h"

#include "core/civil_time.h"

#include <cmath>

namespace tlx {
namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

bool usable(const GeoPoint& p) {
    return std::isfinite(p.lat) && std::isfinite(p.lon) && std::fabs(p.lat) <= 90 && std::fabs(p.lon) <= 180;
}

bool validDay(const EventTime& t) {
    return t.year > 0 && t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= daysInMonth(t.year, t.month);
}

} // namespace

PointReport makePointReport(const std::optional<GeoPoint>& point, const std::optional<MarkerEvent>& event) {
    if (!point || !usable(*point)) return {std::nullopt, "Mouse Location Error"};
    if (!event || !validDay(event->recordStart))
        return {std::nullopt, "Error getting event time and magnitude"};
    const EventTime& start = event->recordStart;

    const std::int64_t dayMs = daysFromCivil(start.year, start.month, start.day) * kMsPerDay;
    const std::int64_t tenths = floorDiv(dayMs + event->originMs + 50, 100);
    const CivilTime t = civilFromEpoch(floorDiv(tenths, 10));
    ReportRow row;
    row.year = t.year - 1900;
    row.month = t.month, row.day = t.day;
    row.hour = t.hour, row.minute = t.minute, row.second = t.second;
    row.tenths = static_cast<int>(tenths - floorDiv(tenths, 10) * 10);
    row.latitude = point->lat;
    row.longitude = point->lon;
    row.depth = std::isfinite(event->depthKm) && event->depthKm > 0 ? event->depthKm : 0;
    const auto& m = event->magnitudes;
    if (m.size() > 0) row.magnitude = m[0].second, row.magType = m[0].first.substr(0, kMaxReportMagType);
    if (m.size() > 1) row.magnitude2 = m[1].second, row.magType2 = m[1].first.substr(0, kMaxReportMagType);
    row.agency = kPointReportAgency;
    row.eventType = 'E';
    return {row, nullptr};
}

} // namespace tlx
