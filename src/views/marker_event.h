// What an event window's markers give an event report made on the location map: the origin time
// on the first record's day, the table depth and the shown magnitudes. Header only: the window and
// the console, which link the report services, use it.
#pragma once

#include "record/event_record.h"
#include "services/point_report.h"
#include "views/readout.h"

#include <optional>

namespace tlx::views {

// Absent when the markers give no distance (and so no origin time).
inline std::optional<MarkerEvent> markerEvent(const Readout& r, const EventRecord& first) {
    if (!r.found) return std::nullopt;
    const ChannelHeader& h = first.header;
    MarkerEvent e{addSeconds(h.startTime, h.startTimeOffset), r.originMs, r.depthKm, {}};
    if (r.magnitudes)
        for (const auto& [type, value] :
             {std::pair{"Ml", r.magnitudes->ml}, std::pair{"Ms", r.magnitudes->ms},
              std::pair{"Mb", r.magnitudes->mb}, std::pair{"Md", r.magnitudes->md}})
            if (value) e.magnitudes.emplace_back(type, *value);
    return e;
}

} // namespace tlx::views
