// The values of a data server's historical query: around an event, from the "Historical Data
// Lookup" dialog, or the last three days.
#pragma once

#include "record/event_record.h"
#include "services/report_protocols.h"

#include <cstdint>
#include <string>

namespace tlx {

// What the Historical Data Lookup dialog holds (dates as typed, magnitudes 0.1..10).
struct HistoricalValues {
    CivilDate start;
    CivilDate end;
    double minMagnitude = 2.5;
    double maxMagnitude = 10;
};

// Connect with an open event: one day either side of the record start, magnitudes 2.5..10.
HistoricalQuery queryAroundEvent(const EventTime& recordStart);
// The dialog prefilled with the event's day either side.
HistoricalValues valuesAroundEvent(const EventTime& recordStart);
// The dialog's values without an event or an earlier query: the last three days.
HistoricalValues recentValues(std::int64_t nowSeconds);
// Checks the dialog's values ("Start time error", "End time error", "Start or end time error")
// and widens them by a day either side.
bool queryFromValues(const HistoricalValues& values, HistoricalQuery& query, std::string& error);

} // namespace tlx
