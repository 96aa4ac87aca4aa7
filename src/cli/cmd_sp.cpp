// tellurix-cli sp SECONDS [--depth KM] [--table regional|teleseismic|iasp91]: epicentral distance
// and P travel time from an S-P time, as JSON.
#include "cli/cli_command.h"
#include "cli/json_writer.h"
#include "cli/seismo_console.h"

#include "seismo/geodesy.h"
#include "seismo/iasp91.h"
#include "seismo/travel_times.h"

#include <cmath>
#include <cstdio>

namespace tlx::cli {
namespace {

const char* const kTableNames[] = {"regional", "teleseismic", "iasp91"};

int runSp(const Args& given) {
    Args args = given;
    std::string depthText, tableText = "teleseismic";
    const bool hasDepth = takeOption(args, "--depth", depthText);
    takeOption(args, "--table", tableText);
    int mode = -1;
    for (int m = 0; m < 3; ++m)
        if (tableText == kTableNames[m]) mode = m;
    double seconds = 0, depth = 0;
    if (args.size() != 1 || mode < 0 || !parseNumberArg(args[0], seconds) || seconds > 1e5 ||
        (hasDepth && (!parseNumberArg(depthText, depth) || depth < 0 || depth > 1e4))) {
        std::fprintf(stderr,
                     "usage: tellurix-cli sp SECONDS [--depth KM] [--table regional|teleseismic|iasp91]\n");
        return 2;
    }
    const std::filesystem::path dir = consoleDataDirectory();
    if (dir.empty()) return 1;
    ConsoleMessages messages(true);
    CTravelTm tables;
    TableSettings settings;
    tables.load(dir, settings, messages);
    Iasp91Tables iasp91;
    if (mode == kIasp91 && iasp91.loadIasp91({dir})) tables.setIasp91(&iasp91);
    if (mode == kIasp91 && !tables.iasp91()) {
        std::fprintf(stderr, "tellurix-cli: the IASP91 tables are not available\n");
        return 1;
    }
    if (!hasDepth) depth = mode == kRegional ? settings.regDepth : settings.depth;
    WindowTravelTimes window = tables.newWindow(settings);
    if (!tables.buildSpTable(window, mode, depth, depth)) {
        std::fprintf(stderr, "tellurix-cli: the %s tables are not loaded\n", kTableNames[mode]);
        return 1;
    }
    const SpDistance d = distanceFromSp(window, static_cast<int>(std::lround(seconds * 1000.0)));
    JsonWriter json;
    json.beginObject();
    json.key("sp").value(seconds);
    json.key("table").value(kTableNames[mode]);
    json.key("depth").value(window.spDepth);
    json.key("found").value(d.found());
    if (d.found()) {
        json.key("degrees").value(d.degrees);
        json.key("km").value(d.degrees * kKmPerDegree);
        json.key("pTravelTime").value(d.pTimeMs / 1000.0);
    }
    json.endObject();
    std::printf("%s\n", json.str().c_str());
    return d.found() ? 0 : 1;
}

} // namespace

TLX_CLI_COMMAND(sp, "sp", "sp SECONDS [--depth KM] [--table regional|teleseismic|iasp91]", runSp);

} // namespace tlx::cli
