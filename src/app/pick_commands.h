// Calculate -> Picks -> Save, View and Clear on an event window.
#pragma once

#include "app/event_commands.h"

namespace tlx::app {

class EventWindow;

void runPickCommand(Cmd cmd, EventWindow& window);
// The unattended picture modes: table choice, depth and markers from the first record's picks.
void restorePicksForPicture(EventWindow& window);

} // namespace tlx::app
