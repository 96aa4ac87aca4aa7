// tellurix-cli: the program's core for users' scripts (inspect, convert and measure event files).
#include "cli/cli_command.h"

#include "core/data_paths.h"
#include "core/debug_log.h"
#include "services/geography.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace tlx::cli {

std::vector<Command>& commands() {
    static std::vector<Command> all;
    return all;
}

bool takeOption(Args& args, const std::string& name, std::string& value) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == name) {
            value = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i), args.begin() + static_cast<long>(i) + 2);
            return true;
        }
    }
    return false;
}

bool takeFlag(Args& args, const std::string& name) {
    const auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end()) return false;
    args.erase(it);
    return true;
}

namespace {

std::filesystem::path environmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::filesystem::path(value) : std::filesystem::path();
}

int usage() {
    std::fprintf(stderr, "usage: tellurix-cli COMMAND ...\n");
    std::vector<Command> sorted = commands();
    std::sort(sorted.begin(), sorted.end(), [](const Command& a, const Command& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const Command& c : sorted) std::fprintf(stderr, "  tellurix-cli %s\n", c.usage);
    return 2;
}

} // namespace

LoaderSettings consoleLoaderSettings() {
    LoaderSettings settings;
    settings.programDirectory = programDirectory();
    settings.localDirectory = environmentPath("TLX_LOCAL_DIR");
    settings.eventDirectory = environmentPath("TLX_EVENT_DIR");
    static const SeismoGeography geography;
    settings.geography = &geography;
    return settings;
}

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
