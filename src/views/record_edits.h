// What the Picks commands and the record information sheet do to an open event: picks from and to
// the view's markers, and the view following applied information. The window and the console
// share them.
#pragma once

#include "document/record_info_edit.h"
#include "views/event_session.h"

namespace tlx::views {

// Picks -> Save: P, S and (when placed) the duration marker into every record.
void savePicks(EventSession& session);
// Picks -> View: markers from the first record's picks; false when it lacks a P or an S pick.
bool viewPicks(EventSession& session);
// The table choice and depth stored with the first record's P pick (unattended image modes).
bool restorePickTables(EventSession& session);

// After the sheet's OK: markers reset and the distance read-out again for a changed event list,
// the time axis rebuilt (markers back from the picks) for a changed start time.
void followAppliedInfo(EventSession& session, const InfoApplied& applied);

} // namespace tlx::views
