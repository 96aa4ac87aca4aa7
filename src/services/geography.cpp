#include "services/geography.h"

#include "core/data_paths.h"
#include "record/geo_hooks.h"
#include "seismo/geodesy.h"
#include "seismo/regions.h"

#include <filesystem>
#include <mutex>

namespace tlx {

bool installGeography() {
    const std::filesystem::path regionFile = shippedDataFile(kRegionFileName);
    GeoHooks hooks;
    hooks.greatCircle = [](double lat1, double lon1, double lat2, double lon2, GreatCircleResult& out) {
        GreatCircle g;
        if (!greatCircle(lat1, lon1, lat2, lon2, g)) return false;
        out = {g.degrees, g.km, g.azimuth12, g.azimuth21};
        return true;
    };
    // The region table is read when a reader first asks for a name, not at every start.
    hooks.regionName = [regionFile](double lat, double lon) {
        static std::once_flag loaded;
        std::call_once(loaded, [&] { loadRegionTable(regionFile); });
        return regionName(lat, lon);
    };
    setGeoHooks(std::move(hooks));
    return !regionFile.empty();
}

} // namespace tlx
