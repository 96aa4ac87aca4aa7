// Shared by the geography and travel-time subcommands: the shipped tables and number arguments.
#pragma once

#include <filesystem>
#include <string>

namespace tlx::cli {

// The shipped data folder when it holds the region file; else empty after a message.
std::filesystem::path consoleDataDirectory();

// A latitude or longitude given as a plain number ("-12.5") or as text ("12:30S", "120W").
bool parseLatitudeArg(const std::string& text, double& value);
bool parseLongitudeArg(const std::string& text, double& value);

// A plain finite number; false for anything else.
bool parseNumberArg(const std::string& text, double& value);

} // namespace tlx::cli
