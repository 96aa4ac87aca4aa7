// tellurix-cli: the program's core for users' scripts (inspect, convert and measure event files).
#include "cli/cli_command.h"

#include "core/debug_log.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tlx::cli {
namespace {

int usage() {
    std::fprintf(stderr, "usage: tellurix-cli COMMAND ...\n");
    std::vector<Command> sorted = commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const Command& c : sorted)
        std::fprintf(stderr, "  tellurix-cli %s\n", c.usage);
    return 2;
}

} // namespace
} // namespace tlx::cli

int main(int argc, char** argv) {
    using namespace tlx::cli;
    if (argc < 2) return usage();
    const std::string name = argv[1];
    if (const char* logDir = std::getenv("TLX_LOG_DIR")) tlx::setDebugLogDirectory(logDir);
    for (const Command& command : commands()) {
        if (name == command.name) return command.run(Args(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "tellurix-cli: unknown command \"%s\"\n", name.c_str());
    return usage();
}
