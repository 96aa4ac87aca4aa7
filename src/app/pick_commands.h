// Calculate -> Picks -> Save, View and Clear on an event window.
#pragma once

#include "app/event_commands.h"

namespace tlx::app {

class EventWindow;

void runPickCommand(Cmd cmd, EventWindow& window);

} // namespace tlx::app
