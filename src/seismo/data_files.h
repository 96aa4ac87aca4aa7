// Where the travel-time tables are looked for.
#pragma once

#include <filesystem>

namespace tlx {

class IniProfile;

// The tables directory: setting "PhaseDirectory" of section "Settings" when given; else "tables"
// below the program directory when it exists; else the shipped data folder (core/data_paths.h).
std::filesystem::path tablesDirectory(const IniProfile& settings,
                                      const std::filesystem::path& programDirectory);

} // namespace tlx
