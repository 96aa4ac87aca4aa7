// tellurix-render: the "render" and "map" commands of tellurix-cli, kept in their own program
// because they draw with Qt; tellurix-cli runs it, so that every other command starts without Qt.
// "tellurix-render map ..." draws the location map, anything else renders an event file.
#include "cli/cli_command.h"

#include "core/debug_log.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    using namespace tlx::cli;
    if (const char* logDir = std::getenv("TLX_LOG_DIR")) tlx::setDebugLogDirectory(logDir);
    const bool map = argc > 1 && std::strcmp(argv[1], "map") == 0;
    for (const Command& command : commands())
        if (std::strcmp(command.name, map ? "map" : "render") == 0)
            return command.run(Args(argv + (map ? 2 : 1), argv + argc));
    std::fprintf(stderr, "tellurix-render: no render command\n");
    return 2;
}
