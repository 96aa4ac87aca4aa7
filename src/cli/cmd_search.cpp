// tellurix-cli search: the file search through the event database or live under a folder; prints
// the matching paths one a line in the order found.
#include "browser/event_database.h"
#include "browser/file_search.h"
#include "cli/cli_command.h"
#include "core/data_paths.h"

#include <cstdio>

namespace tlx::cli {
namespace {

constexpr const char* kUsage =
    "search [--db FILE | --root DIR [--no-subdirs]] [--min-mag M] [--max-mag M] [--min-dist KM] "
    "[--max-dist KM] [--min-depth KM] [--max-depth KM] [--from mm/dd/yyyy] [--to mm/dd/yyyy] "
    "[--station PATTERN] [--components ZNE] [--max N]";

int runSearch(const Args& input) {
    Args args = input;
    // Bounds not given do not limit; every component is accepted unless --components names some.
    browser::SearchCriteria c;
    c.minMag = c.maxMag = c.minDist = c.maxDist = c.minDepth = c.maxDepth = "";
    std::string db, root, components, max;
    const bool haveDb = takeOption(args, "--db", db);
    const bool haveRoot = takeOption(args, "--root", root);
    c.subdirectories = !takeFlag(args, "--no-subdirs");
    takeOption(args, "--min-mag", c.minMag);
    takeOption(args, "--max-mag", c.maxMag);
    takeOption(args, "--min-dist", c.minDist);
    takeOption(args, "--max-dist", c.maxDist);
    takeOption(args, "--min-depth", c.minDepth);
    takeOption(args, "--max-depth", c.maxDepth);
    takeOption(args, "--from", c.fromDate);
    takeOption(args, "--to", c.toDate);
    takeOption(args, "--station", c.channelPattern);
    if (takeOption(args, "--components", components)) {
        c.acceptZ = components.find_first_of("Zz") != std::string::npos;
        c.acceptN = components.find_first_of("Nn") != std::string::npos;
        c.acceptE = components.find_first_of("Ee") != std::string::npos;
    }
    if (takeOption(args, "--max", max) && (!parseCount(max, c.maxFiles) || c.maxFiles < 1)) {
        std::fprintf(stderr, "search: --max needs a positive count\n");
        return 2;
    }
    if (!args.empty() || (haveDb && haveRoot)) {
        std::fprintf(stderr, "usage: tellurix-cli %s\n", kUsage);
        return 2;
    }
    std::vector<std::string> found;
    if (haveRoot) {
        ConsoleMessages messages(false);
        EventLoader loader(messages, consoleLoaderSettings());
        found = browser::liveSearch(root, c, loader);
    } else {
        if (!haveDb) db = (programDirectory() / browser::kDatabaseFileName).string();
        browser::DatabaseFile file;
        if (!browser::readDatabase(db, file)) {
            std::fprintf(stderr, "Error Opening Database File\n");
            return 1;
        }
        found = browser::searchDatabase(file, c);
    }
    for (const std::string& path : found)
        std::printf("%s\n", path.c_str());
    if (found.empty()) std::fprintf(stderr, "No Event Files Found\n");
    return 0;
}

} // namespace

TLX_CLI_COMMAND(search, "search", kUsage, runSearch);

} // namespace tlx::cli
