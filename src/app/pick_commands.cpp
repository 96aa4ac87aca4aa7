#include "app/pick_commands.h"

#include "app/event_window.h"
#include "document/pick_store.h"
#include "views/record_edits.h"

namespace tlx::app {

void runPickCommand(Cmd cmd, EventWindow& window) {
    views::EventSession& session = window.session();
    if (cmd == Cmd::PicksSave) views::savePicks(session);
    if (cmd == Cmd::PicksClear) {
        clearPicks(session.doc());
        session.doc().refresh();
    }
    if (cmd == Cmd::PicksView) views::viewPicks(session);
    window.refresh();
}

void restorePicksForPicture(EventWindow& window) {
    views::EventSession& session = window.session();
    if (!views::restorePickTables(session)) return;
    views::viewPicks(session);
    window.refresh();
}

} // namespace tlx::app
