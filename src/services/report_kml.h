// The Google Earth view of a report row: the event (and the record's station) as placemarks.
#pragma once

#include "record/event_record.h"
#include "record/geography.h"
#include "services/google_earth_file.h"
#include "services/report_row.h"

#include <string>
#include <vector>

namespace tlx {

// "%s%1.1f %s" (or "M?? %s") with the region name labels the event; with a record its station
// is shown as well.
std::vector<KmlPoint> reportKmlPoints(const ReportRow& row, const std::string& regionName,
                                      const EventRecord* record);

// The event window's Google Earth view of its current record: with `withEvent` and an event entry,
// the event ("%s %s": its summary and region name) and the station, looked at from 3000 x their
// distance in km (at most 8368588 m); otherwise the station alone.
struct RecordKml {
    std::vector<KmlPoint> points;
    double range = kKmlPointRange;
};
RecordKml recordKmlPoints(const EventRecord& record, bool withEvent, const Geography* geography);

} // namespace tlx
