// The frame's own File and Help commands: the file association, the local data and tables
// folders, and the user manual.
#pragma once

#include "app/main_frame.h"

class QWidget;

namespace tlx::app {

// Writes the desktop entry and MIME types for the event files and tells the user.
void associateEventFiles(AppContext& ctx);
// Asks for the folder and stores it ("LocalDirectory", "PhaseDirectory"); the loader follows at
// once, the travel-time tables at the next start.
void chooseLocalDataDirectory(AppContext& ctx, QWidget* parent);
void chooseTablesDirectory(AppContext& ctx, QWidget* parent);
// The manual "help/index.html" of the program folder, else of the shipped data, in a window.
// `anchor`: the section of the manual to show first (empty: its top).
void showHelp(AppContext& ctx, QWidget* parent, const std::string& anchor = {});

} // namespace tlx::app
