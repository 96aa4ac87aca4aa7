// tellurix-cli index ROOT [--out FILE]: writes the event database as the search dialog's Create does.
#include "browser/event_database.h"
#include "cli/cli_command.h"
#include "core/data_paths.h"

#include <cstdio>

namespace tlx::cli {
namespace {

int runIndex(const Args& input) {
    Args args = input;
    std::string out = (programDirectory() / browser::kDatabaseFileName).string();
    takeOption(args, "--out", out);
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: tellurix-cli index ROOT [--out FILE]\n");
        return 2;
    }
    ConsoleMessages messages(false);
    EventLoader loader(messages, consoleLoaderSettings());
    const browser::CreateResult result = browser::createDatabase(args[0], out, loader);
    std::fprintf(result.ok ? stdout : stderr, "%s\n", result.message.c_str());
    return result.ok ? 0 : 1;
}

} // namespace

TLX_CLI_COMMAND(index, "index", "index ROOT [--out FILE]", runIndex);

} // namespace tlx::cli
