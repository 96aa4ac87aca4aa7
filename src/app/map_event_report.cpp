#include "app/map_event_report.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/report_dialog.h"
#include "views/marker_event.h"

namespace tlx::app {
namespace {

EventWindow* firstWithRecords(const std::vector<EventWindow*>& windows) {
    for (EventWindow* w : windows)
        if (w->doc().recordCount() > 0) return w;
    return nullptr;
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
        if (w->doc().recordCount() > 0 &&
            (event = views::markerEvent(w->session().readout(), w->doc().record(0)))) {
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
