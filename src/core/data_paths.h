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

} // namespace tlx
