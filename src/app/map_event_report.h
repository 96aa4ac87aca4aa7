// The location map's Event Report and Make Event Report: the Event Report dialog over the
// application's report list, for the event window whose station the map shows first; and a report
// made from the point last right-clicked on the map with the origin time and magnitudes of the
// first event window whose P and S markers give them, shown selected in that dialog.
#pragma once

#include "views/map_projection.h"

#include <optional>
#include <vector>

class QWidget;

namespace tlx::app {

struct AppContext;
class EventWindow;

void mapEventReport(AppContext& ctx, const std::vector<EventWindow*>& windows, QWidget* parent);
// `at`: the kept right-click position, absent when there was none or it was off the globe.
void makeMapEventReport(AppContext& ctx, const std::vector<EventWindow*>& windows,
                        const std::optional<views::MapPosition>& at, QWidget* parent);

} // namespace tlx::app
