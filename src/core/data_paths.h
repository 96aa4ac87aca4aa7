// Where the program finds the tables it ships (travel times, regions, magnitude tables, map data).
#pragma once

#include <filesystem>
#include <string_view>

namespace tlx {

// The folder named by TLX_DATA_DIR; else a "data" folder beside the running program or up to three
// levels above it (portable copies, build trees); else the installed share/tellurix beside the
// program's bin folder; else empty. Found at run time: no build path is compiled in.
std::filesystem::path shippedDataDirectory();

// A shipped table found whatever its case on disk; empty when there is none.
std::filesystem::path shippedDataFile(std::string_view name);

// The folder of the running program.
std::filesystem::path programDirectory();

// True when a test file "tlxtest.tmp" can be written in `dir` (and is removed again).
bool folderWritable(const std::filesystem::path& dir);

// The folder for TELLURIX.INI, tlx.log and the user's own data files: `programDir` when it can be
// written (a portable copy); else $XDG_CONFIG_HOME/tellurix (~/.config/tellurix without it),
// created when missing (an installed program). Empty when neither can be written.
std::filesystem::path userFolder(const std::filesystem::path& programDir);

} // namespace tlx
