// tellurix-cli samples FILE [--record N]: the loaded samples, one per line.
#include "cli/cli_command.h"

#include "core/text.h"

#include <cstdio>

namespace tlx::cli {
namespace {

int runSamples(const Args& input) {
    Args args = input;
    std::string recordText = "0";
    takeOption(args, "--record", recordText);
    int record = 0;
    if (args.size() != 1 || !parseCount(recordText, record)) {
        std::fprintf(stderr, "usage: tellurix-cli samples FILE [--record N]\n");
        return 2;
    }
    ConsoleMessages messages(true);
    LoadResult result;
    if (!loadForConsole(args[0], messages, result)) return 1;
    if (static_cast<std::size_t>(record) >= result.channels.size()) {
        std::fprintf(stderr, "%s has %zu record(s); there is no record %d\n", args[0].c_str(),
                     result.channels.size(), record);
        return 1;
    }
    StdoutLines out;
    for (double v : result.channels[record].samples)
        out.add(shortestDouble(v));
    return 0;
}

} // namespace

TLX_CLI_COMMAND(samples, "samples", "samples FILE [--record N]", runSamples);

} // namespace tlx::cli
