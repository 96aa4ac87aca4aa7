// tellurix-cli helicorder FILE OUT.gif [--minutes-per-line M] [--width W --height H]: the helicorder
// window's picture of a whole channel, drawn by tellurix-render.
#include "cli/cli_command.h"

namespace tlx::cli {
namespace {

int runHelicorder(const Args& args) {
    Args forwarded{"helicorder"};
    forwarded.insert(forwarded.end(), args.begin(), args.end());
    return runRenderProgram(forwarded);
}

} // namespace

TLX_CLI_COMMAND(helicorder, "helicorder",
                "helicorder FILE OUT.gif [--minutes-per-line M] [--width W --height H]", runHelicorder);

} // namespace tlx::cli
