// tellurix-cli picks FILE --p T [--s T] [--table ...] [--depth KM] | --clear: stores P and S picks
// as Calculate > Picks > Save does for markers at those times (or removes them) and writes the
// file back in its own format.
#include "cli/cli_command.h"
#include "cli/session_console.h"

#include "core/text.h"
#include "document/pick_store.h"
#include "document/record_info_edit.h"
#include "views/record_edits.h"

#include <cstdio>

namespace tlx::cli {
namespace {

const char* const kTableNames[] = {"regional", "teleseismic", "iasp91"};

int usage() {
    std::fprintf(stderr, "usage: tellurix-cli picks FILE --p hh:mm:ss.ss [--s hh:mm:ss.ss] "
                         "[--table regional|teleseismic|iasp91] [--depth KM]\n"
                         "       tellurix-cli picks FILE --clear\n");
    return 2;
}

int runPicks(const Args& given) {
    Args args = given;
    std::optional<std::int64_t> pTime, sTime;
    std::string tableText, depthText;
    if (!timeOption(args, "--p", pTime) || !timeOption(args, "--s", sTime)) return 2;
    const bool clear = takeFlag(args, "--clear");
    const bool hasTable = takeOption(args, "--table", tableText);
    const bool hasDepth = takeOption(args, "--depth", depthText);
    int mode = -1;
    for (int m = 0; m < 3; ++m)
        if (tableText == kTableNames[m]) mode = m;
    double depth = 0;
    if (args.size() != 1 || clear == pTime.has_value() || (clear && (sTime || hasTable || hasDepth)) ||
        (hasTable && mode < 0) ||
        (hasDepth && (!parseDouble(depthText, depth) || !(depth >= 0 && depth <= 1e4))))
        return usage();

    ConsoleEvent event(false);
    if (!event.open(args[0])) return 1;
    views::EventSession& session = event.session;
    CEqDoc& doc = session.doc();
    std::string refusal;
    const std::optional<SaveChoice> choice = writeBackChoice(doc, refusal);
    if (!choice) {
        std::fprintf(stderr, "%s: %s\n", args[0].c_str(), refusal.c_str());
        return 1;
    }
    if (clear) {
        clearPicks(doc);
    } else {
        views::EqViewModel& model = session.model();
        model.layout({0, 0, 1000, 700}, views::TextMetrics{}, views::Output::Screen);
        model.resetMarkers();
        if (!placeGivenMarkers(session, pTime, sTime)) return 1;
        if ((hasTable || hasDepth) &&
            !session.useTable(hasTable ? mode : session.travelTimes().useTable,
                              hasDepth ? std::optional<double>(depth) : std::nullopt)) {
            std::fprintf(stderr, "tellurix-cli: the %s tables are not loaded or do not reach that depth\n",
                         kTableNames[hasTable ? mode : session.travelTimes().useTable]);
            return 1;
        }
        views::savePicks(session);
    }
    if (!writeRecords(doc, *choice, -1, event.messages)) return 1;
    std::printf("%s: %zu pick(s) in each record\n", args[0].c_str(), doc.record(0).info.picks.size());
    return 0;
}

} // namespace

TLX_CLI_COMMAND(picks, "picks",
                "picks FILE --p hh:mm:ss.ss [--s hh:mm:ss.ss] [--table T] [--depth KM] | --clear", runPicks);

} // namespace tlx::cli
