#include "services/report_kml.h"

#include "core/text.h"
#include "seismo/geodesy.h"

namespace tlx {

std::vector<KmlPoint> reportKmlPoints(const ReportRow& row, const std::string& regionName,
                                      const EventRecord* record) {
    const std::string magnitude =
        row.magnitude != 0 ? format("%s%1.1f", row.magType.c_str(), row.magnitude) : std::string("M??");
    const std::string label = magnitude + " " + regionName;
    const bool station =
        record && !isUnknownValue(record->header.latitude) && !isUnknownValue(record->header.longitude);
    std::vector<KmlPoint> points{
        {station ? "Event" : label, label + " " + reportTimeText(row), row.latitude, row.longitude}};
    if (station)
        points.push_back(
            {"Station", record->stationName(), record->header.latitude, record->header.longitude});
    return points;
}

} // namespace tlx
