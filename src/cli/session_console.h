// Shared by the console commands that open an event as the program's window does (readout, render):
// the tables from the program's folders and marker times given as times of day.
#pragma once

#include "cli/cli_command.h"
#include "views/event_session.h"

#include <cstdint>
#include <optional>

namespace tlx::cli {

// The tables from the folders the program uses: the executable's folder as program folder (its
// "tables" subfolder when present), TLX_LOCAL_DIR as local data folder, then the shipped data.
void loadConsoleTables(views::SeismoTables& tables, Messages& messages);

// An event opened for a console command as a window opens it: the tables, the loader and the session.
struct ConsoleEvent {
    // `tableWarnings`: missing tables are reported (a read-out needs them; a picture only lacks them).
    explicit ConsoleEvent(bool tableWarnings);
    // Opens the file; false after the loader's messages (or a line of its own) on standard error.
    bool open(const std::string& file);

    ConsoleMessages messages{true};
    RecordingMessages quiet;
    views::SeismoTables seismo;
    EventLoader loader;
    views::EventSession session;
};

// "--name hh:mm:ss[.fff]" as ms of the day; false (after a message) when the text is not a time.
bool timeOption(Args& args, const char* name, std::optional<std::int64_t>& value);

// Places P and S at times of day within the record's span; false (after a message) when a time
// lies outside it. Needs a laid-out model.
bool placeGivenMarkers(views::EventSession& session, std::optional<std::int64_t> pMs,
                       std::optional<std::int64_t> sMs);

} // namespace tlx::cli
