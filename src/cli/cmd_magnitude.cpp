// tellurix-cli magnitude --type ml|ms|mb|md ...: a magnitude from typed values, as JSON.
#include "cli/cli_command.h"
#include "cli/json_writer.h"
#include "cli/seismo_console.h"

#include "core/data_paths.h"
#include "seismo/magnitudes.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace tlx::cli {
namespace {

int usageError() {
    std::fprintf(
        stderr,
        "usage: tellurix-cli magnitude --type ml|ms|mb|md --distance KM [--depth KM] [--amplitude COUNTS]\n"
        "         [--correction C] [--sensitivity CM_PER_COUNT] [--period S] [--duration S] [--table FILE]\n"
        "  Ml uses the hypocentral distance from --distance (epicentral) and --depth; the -log A0 table\n"
        "  is magtbl.dat from the shipped data unless --table names another.\n");
    return 2;
}

// An optional number option: true when absent or a plain finite number.
bool number(Args& args, const char* name, double& value) {
    std::string text;
    return !takeOption(args, name, text) || parseNumberArg(text, value);
}

void pair(JsonWriter& json, const MagnitudePair& m) {
    json.key("byCorrection");
    m.byCorrection ? json.value(*m.byCorrection) : json.null();
    json.key("bySensitivity");
    m.bySensitivity ? json.value(*m.bySensitivity) : json.null();
}

int runMagnitude(const Args& input) {
    Args args = input;
    std::string type, table;
    double km = -1, depth = 0, amplitude = 0, correction = 0, sensitivity = 0, period = 0, duration = 0;
    takeOption(args, "--type", type);
    takeOption(args, "--table", table);
    if (!number(args, "--distance", km) || !number(args, "--depth", depth) ||
        !number(args, "--amplitude", amplitude) || !number(args, "--correction", correction) ||
        !number(args, "--sensitivity", sensitivity) || !number(args, "--period", period) ||
        !number(args, "--duration", duration) || !args.empty() || km < 0)
        return usageError();
    // A typed sensitivity is taken to be of a displacement record, the only kind it applies to.
    const StationResponse station{correction, sensitivity, sensitivity != 0 ? 3 : 0};
    JsonWriter json;
    json.beginObject().key("type").value(type);
    if (type == "ml") {
        const std::filesystem::path path =
            table.empty() ? shippedDataFile("magtbl.dat") : std::filesystem::path(table);
        AttenuationTables tables;
        if (!loadAttenuationTables(path, tables)) {
            std::fprintf(stderr, "File MAGTBL.DAT File not found or Error in File! (%s)\n", path.c_str());
            return 1;
        }
        const double r = std::sqrt(km * km + depth * depth);
        json.key("hypocentralKm").value(r);
        json.key("minusLogA0").value(minusLogA0(tables, static_cast<int>(std::trunc(r + 0.5))));
        pair(json, magnitudeMl(r, amplitude, station, tables));
    } else if (type == "ms") {
        pair(json, magnitudeMs(km, amplitude, station, period > 0 ? period : 20));
    } else if (type == "mb") {
        pair(json, magnitudeMb(km, amplitude, station, period > 0 ? period : 1));
    } else if (type == "md") {
        const double md = magnitudeMd(duration * 1000, km);
        json.key("md");
        md != 0 ? json.value(md) : json.null();
    } else {
        return usageError();
    }
    json.endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

} // namespace

TLX_CLI_COMMAND(magnitude, "magnitude", "magnitude --type ml|ms|mb|md --distance KM [options]", runMagnitude);

} // namespace tlx::cli
