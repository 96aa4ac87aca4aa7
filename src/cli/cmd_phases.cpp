// tellurix-cli phases --distance DEG --depth KM: the time of every IASP91 phase (null where the
// phase does not exist), as JSON.
#include "cli/cli_command.h"
#include "cli/json_writer.h"
#include "cli/seismo_console.h"

#include "seismo/iasp91.h"

#include <cmath>
#include <cstdio>

namespace tlx::cli {
namespace {

int runPhases(const Args& given) {
    Args args = given;
    std::string distanceText, depthText;
    double distance = 0, depth = 0;
    if (!takeOption(args, "--distance", distanceText) || !takeOption(args, "--depth", depthText) ||
        !args.empty() || !parseNumberArg(distanceText, distance) || !parseNumberArg(depthText, depth) ||
        distance < 0 || distance > 180 || depth < 0 || depth > 1e4) {
        std::fprintf(stderr, "usage: tellurix-cli phases --distance DEG --depth KM\n");
        return 2;
    }
    const std::filesystem::path dir = consoleDataDirectory();
    if (dir.empty()) return 1;
    Iasp91Tables model;
    if (!model.loadIasp91({dir})) {
        std::fprintf(stderr, "tellurix-cli: no usable %s in %s\n", kIasp91FileName, dir.string().c_str());
        return 1;
    }
    JsonWriter json;
    json.beginObject();
    json.key("distance").value(distance);
    json.key("depth").value(depth);
    json.key("phases").beginObject();
    for (int p = 0; p < model.phaseCount(); ++p) {
        const double t = model.iasp91Time(p, depth, distance);
        json.key(model.phaseName(p));
        if (t < 0)
            json.null();
        else
            json.value(std::round(t * 1000.0) / 1000.0); // whole ms
    }
    json.endObject();
    json.endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

} // namespace

TLX_CLI_COMMAND(phases, "phases", "phases --distance DEG --depth KM", runPhases);

} // namespace tlx::cli
