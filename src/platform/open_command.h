// The command a second start of the program hands to the running one: "[open(\"%s\")]" with one
// or more absolute paths separated by vertical bars or commas.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tlx {

std::string openCommandText(const std::vector<std::string>& paths);

// The paths of an open command; empty, with a line in tlx.log, when the command is refused (not
// an open command, no absolute path, no closing bracket). Paths keep their case.
std::vector<std::string> parseOpenCommand(std::string_view text);

} // namespace tlx
