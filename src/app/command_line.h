// The program's command line: "/p file", "/g file [image]", "/s directory", "/c source [dest]",
// or a list of event files separated by commas or vertical bars.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tlx::app {

enum class RunMode { Normal, Print, Picture, Server, Convert };

struct CommandLine {
    RunMode mode = RunMode::Normal;
    std::vector<std::string> files; // files to open (Normal), the one file (Print, Picture)
    std::string target;             // image name (Picture), destination (Convert), directory (Server)
    bool tooLong = false;           // "Command line too long to process"
};

constexpr std::size_t kMaxCommandLine = 4094;

// What `tellurix --help` prints (also the source of its manual page).
extern const char* const kHelpText;

// "--help" and "--version" answer on standard output (0); any other "--" option is a usage error
// (2). Absent for a command line the program runs.
std::optional<int> answerConsoleOption(const std::vector<std::string>& args);

// Parses the arguments after the program name (joined as the one argument string they form).
CommandLine parseCommandLine(const std::vector<std::string>& args);

// A name given from a terminal means the file in its working folder when one is there: such names
// become whole paths, so neither the event folder nor a running instance (handed the list, in its
// own folder) takes them for another file. Other names stay for the event folder.
void anchorToWorkingDirectory(CommandLine& commandLine);

} // namespace tlx::app
