#include "seismo/great_circle_calculator.h"

#include "core/text.h"
#include "seismo/geodesy.h"
#include "seismo/regions.h"

namespace tlx {
namespace {

const char* const kUnknown = "???";

// Reads one field; the echo text says how it went.
bool readField(const std::string& text, bool latitude, double& value, std::string& echo) {
    if (trim(text).empty()) {
        echo = kUnknown;
        return false;
    }
    const bool ok = latitude ? parseLatitude(text, value) : parseLongitude(text, value);
    echo = ok ? (latitude ? formatLatLon(value, 'N', 'S') : formatLatLon(value, 'E', 'W')) : "ERROR";
    return ok;
}

std::string regionText(bool ok, double lat, double lon) {
    return ok ? std::string(trim(regionName(lat, lon))) : kUnknown;
}

} // namespace

GreatCircleCalculation CWorldist::calculate() const {
    GreatCircleCalculation r;
    double v[4] = {};
    bool ok[4];
    const std::string* inputs[4] = {&eventLatitude, &eventLongitude, &stationLatitude, &stationLongitude};
    for (std::size_t i = 0; i < 4; ++i)
        ok[i] = readField(*inputs[i], i % 2 == 0, v[i], r.echo[i]);
    r.eventRegion = regionText(ok[0] && ok[1], v[0], v[1]);
    r.stationRegion = regionText(ok[2] && ok[3], v[2], v[3]);
    GreatCircle gc;
    if (ok[0] && ok[1] && ok[2] && ok[3] && greatCircle(v[0], v[1], v[2], v[3], gc)) {
        r.distance = format("%-4.3f deg  %-5.4f km  %-5.4f mi\n", gc.degrees, gc.km, gc.km * kMilesPerKm);
        r.azimuthEventToStation = format("%-4.1f degrees", gc.azimuth12);
        r.azimuthStationToEvent = format("%-4.1f degrees", gc.azimuth21);
    } else {
        r.distance = r.azimuthEventToStation = r.azimuthStationToEvent = kUnknown;
    }
    return r;
}

} // namespace tlx
