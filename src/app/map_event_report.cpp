#include "app/map_event_report.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/report_dialog.h"
#include "services/point_report.h"

namespace tlx::app {
namespace {

EventWindow* firstWithRecords(const std::vector<EventWindow*>& windows) {
    for (EventWindow* w : windows)
        if (w->doc().recordCount() > 0) return w;
    return nullptr;
}

// The origin time and magnitudes of a window's markers; absent without a distance.
std::optional<MarkerEvent> markerEvent(EventWindow& w) {
    if (w.doc().recordCount() == 0) return std::nullopt;
    const views::Readout r = w.session().readout();
    if (!r.found) return std::nullopt;
    const ChannelHeader& h = w.doc().record(0).header;
    MarkerEvent e{addSeconds(h.startTime, h.startTimeOffset), r.originMs, r.depthKm, {}};
    if (r.magnitudes)
        for (const auto& [type, value] :
             {std::pair{"Ml", r.magnitudes->ml}, std::pair{"Ms", r.magnitudes->ms},
              std::pair{"Mb", r.magnitudes->mb}, std::pair{"Md", r.magnitudes->md}})
            if (value) e.magnitudes.emplace_back(type, *value);
    return e;
}

} // namespace

void mapEventReport(AppContext& ctx, const std::vector<EventWindow*>& windows, QWidget* parent) {
    CReport(ctx, firstWithRecords(windows), parent).exec();
}

void makeMapEventReport(AppContext& ctx, const std::vector<EventWindow*>& windows,
                        const std::optional<views::MapPosition>& at, QWidget* parent) {
    EventWindow* source = nullptr;
    std::optional<MarkerEvent> event;
    for (EventWindow* w : windows)
        if ((event = markerEvent(*w))) {
            source = w;
            break;
        }
    std::optional<GeoPoint> point;
    if (at) point = GeoPoint{at->lat, at->lon};
    const PointReport made = makePointReport(point, event);
    if (!made.row) {
        ctx.messages.error(made.error);
        return;
    }
    CReport dialog(ctx, source, parent);
    dialog.showMadeReport(*made.row);
    dialog.exec();
}

} // namespace tlx::app
