// The frame's own File and Help commands: the file association, the local data, tables and
// dataless folders, and the user manual.
#pragma once

#include "app/main_frame.h"

class QWidget;

namespace tlx::app {

// Writes the desktop entry and MIME types for the event files and tells the user.
void associateEventFiles(AppContext& ctx);
class EventWindow;

// Asks for the folder and stores it ("LocalDirectory", "PhaseDirectory"); the loader follows at
// once, and a new tables folder is read at once, for the open windows too.
void chooseLocalDataDirectory(AppContext& ctx, QWidget* parent);
void chooseTablesDirectory(AppContext& ctx, const std::vector<EventWindow*>& windows, QWidget* parent);
// The travel-time, phase, magnitude and correction tables from the folders the settings name.
void loadProgramTables(AppContext& ctx);
// File > MINISEED Control: where dataless volumes are looked for ("DatalessDir", "DatalessExt"),
// and a chosen dataless volume's description added to the window's records.
void chooseDatalessDirectory(AppContext& ctx, QWidget* parent);
void chooseDatalessExtension(AppContext& ctx, QWidget* parent);
void addHeaderInformation(EventWindow& window, AppContext& ctx, QWidget* parent);
// The manual "help/index.html" of the program folder, else of the shipped data, in a window.
// `anchor`: the section of the manual to show first (empty: its top).
void showHelp(AppContext& ctx, QWidget* parent, const std::string& anchor = {});

} // namespace tlx::app
