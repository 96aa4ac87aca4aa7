#include "services/geography.h"

#include "core/data_paths.h"
#include "seismo/geodesy.h"

namespace tlx {

SeismoGeography::SeismoGeography() : SeismoGeography(shippedDataFile(kRegionFileName)) {}

SeismoGeography::SeismoGeography(std::filesystem::path regionFile) : regionFile_(std::move(regionFile)) {}

bool SeismoGeography::greatCircle(double lat1, double lon1, double lat2, double lon2,
                                  GreatCircleResult& out) const {
    GreatCircle g;
    if (!tlx::greatCircle(lat1, lon1, lat2, lon2, g)) return false;
    out = {g.degrees, g.km, g.azimuth12, g.azimuth21};
    return true;
}

std::string SeismoGeography::regionName(double lat, double lon) const {
    const std::lock_guard<std::mutex> lock(mutex_);
    // Read on the first request, not at every start; a missing table is not tried again.
    if (!tried_) {
        tried_ = true;
        if (!regionFile_.empty()) regions_.load(regionFile_);
    }
    return regions_.regionName(lat, lon);
}

} // namespace tlx
