#include "record/geo_hooks.h"

namespace tlx {
namespace {
GeoHooks& installed() {
    static GeoHooks hooks;
    return hooks;
}
} // namespace

void setGeoHooks(GeoHooks hooks) { installed() = std::move(hooks); }
const GeoHooks& geoHooks() { return installed(); }

} // namespace tlx
