// The debug log tlx.log: one line per message; the first message of a run creates the
// file afresh and later ones append. Logging never changes what the caller does.
#pragma once

#include <string>
#include <string_view>

namespace tlx {

// Sets the folder that receives tlx.log; an empty folder turns logging off (the default).
void setDebugLogDirectory(const std::string& directory);
std::string debugLogPath();

void logLine(std::string_view message);
void logFormat(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

} // namespace tlx
