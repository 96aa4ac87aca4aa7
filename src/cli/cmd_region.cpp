// tellurix-cli region LAT LON: the Flinn-Engdahl region of a point, as JSON.
#include "cli/cli_command.h"
#include "cli/json_writer.h"
#include "cli/seismo_console.h"

#include "core/text.h"
#include "seismo/regions.h"

#include <cstdio>

namespace tlx::cli {
namespace {

int runRegion(const Args& args) {
    double lat = 0, lon = 0;
    if (args.size() != 2 || !parseLatitudeArg(args[0], lat) || !parseLongitudeArg(args[1], lon)) {
        std::fprintf(stderr, "usage: tellurix-cli region LAT LON\n");
        return 2;
    }
    const std::filesystem::path dir = consoleDataDirectory();
    std::string error;
    if (dir.empty() || !loadRegionTable(dir / kRegionFileName, &error)) {
        if (!dir.empty()) std::fprintf(stderr, "tellurix-cli: %s: %s\n", kRegionFileName, error.c_str());
        return 1;
    }
    const int number = regionTable().regionNumber(lat, lon);
    JsonWriter json;
    json.beginObject();
    json.key("latitude").value(lat);
    json.key("longitude").value(lon);
    json.key("region").value(number);
    json.key("name").value(std::string(trim(regionTable().name(number))));
    json.endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

} // namespace

TLX_CLI_COMMAND(region, "region", "region LAT LON", runRegion);

} // namespace tlx::cli
