// tellurix-cli upgrade: the open-file browser's Convert on the console. Old SVX Type 2/3 files
// become SVX Type 4 and short archive names long names; --plan only prints what would happen.
#include "browser/file_convert.h"
#include "cli/cli_command.h"
#include "cli/json_writer.h"

#include <cstdio>

namespace tlx::cli {
namespace {

constexpr const char* kUsage = "upgrade FILE... [--to both|format|name] [--plan] [--file-time]";

int runUpgrade(const Args& input) {
    Args args = input;
    std::string to = "both";
    takeOption(args, "--to", to);
    const bool planOnly = takeFlag(args, "--plan");
    // The long names take a report's origin time unless --file-time asks for the start time.
    const bool useEventTime = !takeFlag(args, "--file-time");
    if (args.empty() || (to != "both" && to != "format" && to != "name")) {
        std::fprintf(stderr, "usage: tellurix-cli %s\n", kUsage);
        return 2;
    }
    const browser::ConvertChoice choice = to == "format" ? browser::ConvertChoice::Format
                                          : to == "name" ? browser::ConvertChoice::Name
                                                         : browser::ConvertChoice::Both;
    const LoaderSettings settings = consoleLoaderSettings();
    const auto candidates = browser::convertCandidates(args, settings, useEventTime);
    const browser::ConvertCounts counts = browser::countConvertible(candidates);
    const auto steps = browser::planConvert(candidates, choice);
    int done = 0;
    if (!planOnly) {
        ConsoleMessages messages(true);
        done = browser::runConvert(steps, settings, messages);
    }
    JsonWriter json;
    json.beginObject()
        .key("format")
        .value(counts.format)
        .key("name")
        .value(counts.name)
        .key("steps")
        .beginArray();
    for (const browser::ConvertStep& s : steps)
        json.beginObject()
            .key("source")
            .value(s.source)
            .key("target")
            .value(s.target)
            .key("rewrite")
            .value(s.rewrite)
            .key("removeSource")
            .value(s.removeSource)
            .endObject();
    json.endArray().key("converted").value(done).endObject();
    std::printf("%s\n", json.str().c_str());
    if (candidates.empty()) {
        std::fprintf(stderr, "No SVX Type 2 or 3 Format File(s) or File Names to Convert\n");
        return 1;
    }
    if (!planOnly && done == 0) {
        std::fprintf(stderr, "Not File(s) Converted\n");
        return 1;
    }
    return 0;
}

} // namespace

TLX_CLI_COMMAND(upgrade, "upgrade", kUsage, runUpgrade);

} // namespace tlx::cli
