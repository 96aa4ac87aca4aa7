#include "services/geography.h"

#include "core/data_paths.h"
#include "record/geo_hooks.h"
#include "seismo/geodesy.h"
#include "seismo/regions.h"

namespace tlx {

bool installGeography() {
    const bool regions = loadRegionTable(shippedDataFile(kRegionFileName));
    GeoHooks hooks;
    hooks.greatCircle = [](double lat1, double lon1, double lat2, double lon2, GreatCircleResult& out) {
        GreatCircle g;
        if (!greatCircle(lat1, lon1, lat2, lon2, g)) return false;
        out = {g.degrees, g.km, g.azimuth12, g.azimuth21};
        return true;
    };
    hooks.regionName = [](double lat, double lon) { return regionName(lat, lon); };
    setGeoHooks(std::move(hooks));
    return regions;
}

} // namespace tlx
