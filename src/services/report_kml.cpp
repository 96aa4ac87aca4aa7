#include "services/report_kml.h"

#include "core/text.h"
#include "seismo/geodesy.h"

#include <algorithm>

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

RecordKml recordKmlPoints(const EventRecord& record, bool withEvent, const Geography* geography) {
    RecordKml kml;
    const double stationLat = record.header.latitude, stationLon = record.header.longitude;
    std::string stationText = record.stationName();
    if (const std::string_view place = trim(record.info.sensorLocation); !place.empty())
        stationText += " " + std::string(place);
    const KmlPoint station{"Station", stationText, stationLat, stationLon};
    if (!withEvent || record.info.events.empty()) {
        kml.points.push_back(station);
        return kml;
    }
    const std::size_t index = std::min<std::size_t>(
        static_cast<std::size_t>(std::max(0, record.info.currentEvent)), record.info.events.size() - 1);
    const EventEntry event = record.info.events[index];
    const double lat = event.latitude, lon = event.longitude;
    const std::string region = geography ? std::string(trim(geography->regionName(lat, lon))) : std::string();
    kml.points.push_back({"Event", eventSummary(event) + " " + region, lat, lon});
    kml.points.push_back(station);
    GreatCircle gc;
    if (!isUnknownValue(stationLat) && !isUnknownValue(stationLon) &&
        greatCircle(lat, lon, stationLat, stationLon, gc))
        kml.range = std::min(3000 * gc.km, kKmlMaxRange);
    return kml;
}

} // namespace tlx
