// Geographic operations that readers and writers need but that belong to the seismological
// library, which the record library may not depend on. The program hands an implementation to the
// loader and the writers; without one the fields that need it stay unknown.
#pragma once

#include <string>

namespace tlx {

struct GreatCircleResult {
    double degrees = 0;
    double km = 0;
    double azimuth12 = 0; // from point 1 to point 2, degrees clockwise from north
    double azimuth21 = 0;
};

class Geography {
  public:
    virtual ~Geography() = default;
    // False when a point is out of range.
    virtual bool greatCircle(double lat1, double lon1, double lat2, double lon2,
                             GreatCircleResult& out) const = 0;
    // Region name of a point; blank or empty when there is none.
    virtual std::string regionName(double lat, double lon) const = 0;
};

} // namespace tlx
