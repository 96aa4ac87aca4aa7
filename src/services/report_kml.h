// The Google Earth view of a report row: the event (and the record's station) as placemarks.
#pragma once

#include "record/event_record.h"
#include "services/google_earth_file.h"
#include "services/report_row.h"

#include <string>
#include <vector>

namespace tlx {

// "%s%1.1f %s" (or "M?? %s") with the region name labels the event; with a record its station
// is shown as well.
std::vector<KmlPoint> reportKmlPoints(const ReportRow& row, const std::string& regionName,
                                      const EventRecord* record);

} // namespace tlx
