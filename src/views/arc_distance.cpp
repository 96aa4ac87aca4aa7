// Kept apart: seismo/geodesy.h and record/event_record.h both define the shared constants.
#include "seismo/geodesy.h"

namespace tlx::views {

bool arcDegrees(double lat1, double lon1, double lat2, double lon2, double& degrees) {
    GreatCircle gc;
    if (!greatCircle(lat1, lon1, lat2, lon2, gc)) return false;
    degrees = gc.degrees;
    return true;
}

} // namespace tlx::views
