// Great-circle distances and azimuths, coordinate texts and the one-line event descriptions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tlx {

inline constexpr double kKmPerDegree = 111.1775;
inline constexpr double kMilesPerKm = 0.621371;
inline constexpr double kLatitudeFactor = 0.993305621334896;
// Marks an unknown angle, elevation, coordinate or distance in the file formats that use it.
inline constexpr double kUnknownValue = -12345.0;

bool isUnknownValue(double value);

struct GreatCircle {
    double degrees = 0;
    double km = 0;
    double azimuth12 = 0; // from point 1 to point 2, degrees clockwise from north
    double azimuth21 = 0; // from point 2 to point 1
};

// False when a latitude lies outside -90..90 or a longitude outside -180..540 (values above 180
// are taken 360 lower and must then be at most 180).
bool greatCircle(double lat1, double lon1, double lat2, double lon2, GreatCircle& out);

// "12.5N", "33:15:20 S", "120:30W" ...; false for a missing or wrong hemisphere letter, a bad
// number or a value out of range. A latitude of exactly 90 becomes 89.9.
bool parseLatitude(std::string_view text, double& degrees);
bool parseLongitude(std::string_view text, double& degrees);
// "%02d:%02d:%02d" and the hemisphere letter; empty for 0.
std::string formatLatLon(double degrees, char positive, char negative);

// "M%d.%1d %dkm from %s, %s" or "%dkm from %s, %s"; empty when no distance can be found. The
// distance is the great circle from station to event unless a coordinate is unknown (-12345), then
// the given km, then the given degrees. magnitude is in hundredths, 0 = none.
std::string distanceText(std::string_view station, double stationLat, double stationLon, double eventLat,
                         double eventLon, std::optional<double> distanceKm = std::nullopt,
                         std::optional<double> distanceDegrees = std::nullopt, int magnitude = 0);

} // namespace tlx
