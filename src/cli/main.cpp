// tellurix-cli: the program's core for users' scripts (inspect, convert and measure event files).
#include "cli/cli_command.h"

#include "core/debug_log.h"
#include "core/version.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tlx::cli {
namespace {

// The list of commands: on standard output when asked for (--help, 0), else on standard error (2).
int usage(bool asked) {
    FILE* out = asked ? stdout : stderr;
    std::fprintf(out, "Usage: tellurix-cli COMMAND [ARGUMENTS...]\n"
                      "       tellurix-cli COMMAND --help\n"
                      "Inspect, convert and measure seismic event files without the window.\n\n"
                      "Commands:\n");
    std::vector<Command> sorted = commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const Command& c : sorted)
        std::fprintf(out, "  tellurix-cli %s\n", c.usage);
    std::fprintf(out, "\nOptions:\n"
                      "  --help     show this help and exit\n"
                      "  --version  show the version and exit\n\n"
                      "Environment: TLX_LOCAL_DIR (local data folder), TLX_EVENT_DIR (event folder),\n"
                      "TLX_DATA_DIR (shipped tables), TLX_LOG_DIR (folder of tlx.log).\n"
                      "Exit status: 0 done, 1 failure, 2 usage error.\n");
    return asked ? 0 : 2;
}

} // namespace
} // namespace tlx::cli

int main(int argc, char** argv) {
    using namespace tlx::cli;
    if (argc < 2) return usage(false);
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") return usage(true);
    if (name == "--version") {
        std::printf("tellurix-cli %s\n", tlx::kVersion);
        return 0;
    }
    if (const char* logDir = std::getenv("TLX_LOG_DIR")) tlx::setDebugLogDirectory(logDir);
    for (const Command& command : commands()) {
        if (name != command.name) continue;
        const Args args(argv + 2, argv + argc);
        // "--help" anywhere after the command asks for its usage; it is never taken as a file.
        if (std::find(args.begin(), args.end(), "--help") != args.end()) {
            std::printf("Usage: tellurix-cli %s\n", command.usage);
            return 0;
        }
        return command.run(args);
    }
    std::fprintf(stderr, "tellurix-cli: unknown command \"%s\"\n", name.c_str());
    return usage(false);
}
