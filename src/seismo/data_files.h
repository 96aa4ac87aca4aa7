// Where the program finds its shipped tables (region file, *.JB travel-time tables).
//
// The shipped data folder is the first of: the folder named by the TLX_DATA_DIR environment
// variable; "data" below the TLX_SOURCE_DIR environment variable (tests and development runs);
// "data" beside the program or in one of the four folders above it (a build tree inside the
// source tree, or an installed bin/ beside data/); "../share/tellurix/data" from the program.
// A folder counts only when it holds the region file.
#pragma once

#include <filesystem>

namespace tlx {

class IniProfile;

std::filesystem::path shippedDataDirectory(const std::filesystem::path& programDirectory);

// The tables directory: setting "PhaseDirectory" of section "Settings" when given; else "tables"
// below the program directory when it exists; else the shipped data folder when found; else the
// program directory.
std::filesystem::path tablesDirectory(const IniProfile& settings, const std::filesystem::path& programDirectory);

} // namespace tlx
