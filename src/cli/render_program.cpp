// tellurix-cli render: runs tellurix-render from the same folder with the same arguments (the
// drawing needs Qt, which the other commands do without).
#include "cli/cli_command.h"

#include "core/data_paths.h"

#include <cstdio>
#include <unistd.h>

namespace tlx::cli {

int runRenderProgram(const Args& args) {
    const std::string program = (programDirectory() / "tellurix-render").string();
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    std::fflush(nullptr);
    execv(program.c_str(), argv.data());
    std::fprintf(stderr, "tellurix-cli: render needs %s (built with Qt)\n", program.c_str());
    return 1;
}

namespace {

int runMapProgram(const Args& args) {
    Args forwarded{"map"};
    forwarded.insert(forwarded.end(), args.begin(), args.end());
    return runRenderProgram(forwarded);
}

} // namespace

TLX_CLI_COMMAND(render, "render",
                "render FILE OUT.gif [--width W --height H] [--p hh:mm:ss.s --s hh:mm:ss.s]",
                runRenderProgram);
TLX_CLI_COMMAND(map, "map",
                "map OUT.gif [--center LAT LON] [--scale KM] [--width W --height H] "
                "[--station LAT LON SP_DEGREES]... [--event LAT LON]",
                runMapProgram);

} // namespace tlx::cli
