// feedgrab: turns an earthquake feed fetched with wget into a fixed-column report list.
#include "core/version.h"
#include "feedgrab/feedgrab.h"

#include <cstdio>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The long options of every console tool; "-?" keeps its own exit code.
    if (!args.empty() && args[0] == "--help") {
        std::fputs(tlx::feedgrab::kUsageText, stdout);
        return 0;
    }
    if (!args.empty() && args[0] == "--version") {
        std::printf("feedgrab %s\n", tlx::kVersion);
        return 0;
    }
    tlx::feedgrab::StandardConsole console;
    return tlx::feedgrab::runFeedgrab(args, console);
}
