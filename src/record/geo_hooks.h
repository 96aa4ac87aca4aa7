// Geographic operations that readers and writers need but that belong to the seismological
// library, which the record library may not depend on. The program installs them at start-up;
// without them the fields that need them stay unknown.
#pragma once

#include <functional>
#include <string>

namespace tlx {

struct GreatCircleResult {
    double degrees = 0;
    double km = 0;
    double azimuth12 = 0; // from point 1 to point 2, degrees clockwise from north
    double azimuth21 = 0;
};

struct GeoHooks {
    std::function<bool(double lat1, double lon1, double lat2, double lon2, GreatCircleResult&)> greatCircle;
    // Region name of a point; blank or empty when there is none.
    std::function<std::string(double lat, double lon)> regionName;
};

void setGeoHooks(GeoHooks hooks);
const GeoHooks& geoHooks();

} // namespace tlx
