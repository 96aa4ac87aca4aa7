#include "views/record_edits.h"

#include "document/pick_store.h"

#include <algorithm>

namespace tlx::views {

void savePicks(EventSession& session) {
    const EqViewModel& m = session.model();
    const WindowTravelTimes& travel = session.travelTimes();
    PicksToSave picks;
    picks.p = {m.marker(kMarkerP).timeMs, m.marker(kMarkerP).y};
    picks.s = {m.marker(kMarkerS).timeMs, m.marker(kMarkerS).y};
    if (m.magMode() == kMagMd && m.marker(kMarkerMag).placed())
        picks.md = PickMarker{m.marker(kMarkerMag).timeMs, m.marker(kMarkerMag).y};
    picks.axisStartMs = m.axisStartMs();
    picks.graphTop = m.graph().top;
    picks.graphHeight = m.graph().height();
    picks.tableMode = travel.useTable;
    picks.depthKm = travel.depthFor(travel.useTable);
    tlx::savePicks(session.doc(), picks);
    session.doc().refresh();
}

bool viewPicks(EventSession& session) {
    CEqDoc& doc = session.doc();
    EqViewModel& m = session.model();
    if (doc.recordCount() == 0) return false;
    const auto restored = restorePicks(doc.record(0), m.axisStartMs());
    if (!restored) return false;
    const Rect& graph = m.graph();
    auto height = [&](const RestoredMarker& r) {
        return r.weight != 0 ? graph.top + r.weight * graph.height() / kPickGraphHeight : m.baseline(0) + 60;
    };
    m.placeMarker(kMarkerP, restored->p.timeMs, height(restored->p));
    m.placeMarker(kMarkerS, restored->s.timeMs, height(restored->s));
    if (restored->md) {
        if (m.magMode() != kMagMd) m.setMagMode(kMagMd);
        m.placeMarker(kMarkerMag, restored->md->timeMs, height(*restored->md));
    }
    return true;
}

bool restorePickTables(EventSession& session) {
    if (session.doc().recordCount() == 0) return false;
    const auto restored = restorePicks(session.doc().record(0), session.model().axisStartMs());
    if (!restored) return false;
    WindowTravelTimes& travel = session.travelTimes();
    travel.regDepth = travel.teleDepth = restored->depthKm;
    return session.useTable(restored->tableMode, restored->depthKm);
}

void followAppliedInfo(EventSession& session, const InfoApplied& applied) {
    EqViewModel& m = session.model();
    if (applied.time) {
        m.reset();
        viewPicks(session);
    }
    if (applied.event) {
        m.resetMarkers();
        const CEqDoc& doc = session.doc();
        if (m.options().distance && !doc.record(doc.currentRecord()).info.events.empty())
            session.locateMarkers(true);
    }
}

} // namespace tlx::views
