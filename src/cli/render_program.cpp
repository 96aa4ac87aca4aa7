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

TLX_CLI_COMMAND(render, "render",
                "render FILE OUT.gif [--width W --height H] [--p hh:mm:ss.s --s hh:mm:ss.s]",
                runRenderProgram);

} // namespace tlx::cli
