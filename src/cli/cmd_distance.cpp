// tellurix-cli distance LAT1 LON1 LAT2 LON2: great-circle distance and azimuths, as JSON.
#include "cli/cli_command.h"
#include "cli/json_writer.h"
#include "cli/seismo_console.h"

#include "seismo/geodesy.h"

#include <cstdio>

namespace tlx::cli {
namespace {

int runDistance(const Args& args) {
    double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
    if (args.size() != 4 || !parseLatitudeArg(args[0], lat1) || !parseLongitudeArg(args[1], lon1) ||
        !parseLatitudeArg(args[2], lat2) || !parseLongitudeArg(args[3], lon2)) {
        std::fprintf(stderr, "usage: tellurix-cli distance LAT1 LON1 LAT2 LON2\n");
        return 2;
    }
    GreatCircle gc;
    if (!greatCircle(lat1, lon1, lat2, lon2, gc)) {
        std::fprintf(stderr, "tellurix-cli: coordinates out of range\n");
        return 1;
    }
    JsonWriter json;
    json.beginObject();
    json.key("km").value(gc.km);
    json.key("degrees").value(gc.degrees);
    json.key("miles").value(gc.km * kMilesPerKm);
    json.key("azimuth12").value(gc.azimuth12);
    json.key("azimuth21").value(gc.azimuth21);
    json.endObject();
    std::printf("%s\n", json.str().c_str());
    return 0;
}

} // namespace

TLX_CLI_COMMAND(distance, "distance", "distance LAT1 LON1 LAT2 LON2", runDistance);

} // namespace tlx::cli
