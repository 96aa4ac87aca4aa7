#include "seismo/geodesy.h"

#include "core/text.h"
#include "seismo/regions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tlx {
namespace {

const double kPi = std::acos(-1.0);

bool normaliseLongitude(double& lon) {
    if (!(lon >= -180.0)) return false; // also refuses NaN
    if (lon > 180.0) lon -= 360.0;
    return lon <= 180.0;
}

// Geocentric colatitude in radians.
double colatitude(double lat) {
    const double x = (90.0 - lat) * kPi / 180.0;
    return kPi / 2 - std::atan(geo::kLatitudeFactor * std::cos(x) / std::max(std::sin(x), 1e-30));
}

// Degrees of "d", "d:m" or "d:m:s"; false for anything else.
bool parseAngle(std::string_view text, double& value) {
    const std::vector<std::string> parts = split(trim(text), ':');
    if (parts.empty() || parts.size() > 3) return false;
    double total = 0, unit = 1;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string part(trim(parts[i]));
        if (part.empty() || part[0] == '-' || part[0] == '+') return false;
        double v = 0;
        if (!parseDouble(part, v)) return false;
        if (i > 0 && v >= 60.0) return false;
        total += v / unit;
        unit *= 60.0;
    }
    value = total;
    return true;
}

bool parseCoordinate(std::string_view text, char positive, char negative, double limit, double& degrees) {
    const auto isLetter = [&](char c) {
        const char u = static_cast<char>(c & ~0x20);
        return u == positive || u == negative;
    };
    const auto at = std::find_if(text.begin(), text.end(), isLetter);
    if (at == text.end()) return false;
    const bool south = (*at & ~0x20) == negative;
    std::string_view number = text.substr(0, static_cast<std::size_t>(at - text.begin()));
    if (!trim(text.substr(static_cast<std::size_t>(at - text.begin()) + 1)).empty()) return false;
    double value = 0;
    if (!parseAngle(number, value) || value > limit) return false;
    if (limit == 90.0 && value == 90.0) value = 89.9;
    degrees = south ? -value : value;
    return true;
}

} // namespace

bool isUnknownValue(double value) {
    return std::fabs(value - kUnknownValue) < 0.5;
}

bool greatCircle(double lat1, double lon1, double lat2, double lon2, GreatCircle& out) {
    if (!(lat1 >= -90.0 && lat1 <= 90.0 && lat2 >= -90.0 && lat2 <= 90.0)) return false;
    if (!normaliseLongitude(lon1) || !normaliseLongitude(lon2)) return false;
    const double t1 = colatitude(lat1), t2 = colatitude(lat2);
    if (lon1 < 0) lon1 += 360.0;
    if (lon2 < 0) lon2 += 360.0;
    const double dl = (lon2 - lon1) * kPi / 180.0;
    const double s1 = std::sin(t1), c1 = std::cos(t1), s2 = std::sin(t2), c2 = std::cos(t2);
    // rounding can push the cosine just past 1 for identical points
    const double cosD = std::clamp(s1 * s2 * std::cos(dl) + c1 * c2, -1.0, 1.0);
    out.degrees = std::acos(cosD) * 180.0 / kPi;
    out.km = out.degrees * kKmPerDegree;
    double a12 = 0;
    if (s2 != 0) {
        a12 = std::atan2(std::sin(dl), s1 * c2 / s2 - c1 * std::cos(dl));
        if (a12 < 0) a12 += 2 * kPi;
    }
    out.azimuth12 = a12 * 180.0 / kPi;
    double a21 = 0;
    if (s1 != 0) {
        a21 = std::atan2(std::sin(dl), s2 * c1 / s1 - c2 * std::cos(dl));
        if (a21 < 0) a21 += 2 * kPi;
    }
    out.azimuth21 = std::fmod(360.0 - a21 * 180.0 / kPi, 360.0);
    return true;
}

bool parseLatitude(std::string_view text, double& degrees) {
    return parseCoordinate(text, 'N', 'S', 90.0, degrees);
}

bool parseLongitude(std::string_view text, double& degrees) {
    return parseCoordinate(text, 'E', 'W', 180.0, degrees);
}

std::string formatLatLon(double degrees, char positive, char negative) {
    if (degrees == 0 || !std::isfinite(degrees)) return {};
    const double shown = leadingDouble(format("%3.6g", std::fabs(degrees)));
    const long seconds = std::lround(shown * 3600.0);
    return format("%02ld:%02ld:%02ld%c", seconds / 3600, seconds / 60 % 60, seconds % 60,
                  degrees > 0 ? positive : negative);
}

std::string distanceText(std::string_view station, double stationLat, double stationLon, double eventLat,
                         double eventLon, std::optional<double> distanceKm,
                         std::optional<double> distanceDegrees, int magnitude) {
    double km = -1;
    GreatCircle gc;
    const bool known = !isUnknownValue(stationLat) && !isUnknownValue(stationLon) &&
                       !isUnknownValue(eventLat) && !isUnknownValue(eventLon);
    if (known && greatCircle(stationLat, stationLon, eventLat, eventLon, gc))
        km = gc.km;
    else if (distanceKm && std::isfinite(*distanceKm))
        km = *distanceKm;
    else if (distanceDegrees && std::isfinite(*distanceDegrees))
        km = *distanceDegrees * kKmPerDegree;
    if (!(km >= 0) || km > 1e6) return {};
    const int d = static_cast<int>(km + 0.5);
    if (d == 0) return {};
    const std::string region = regionName(eventLat, eventLon);
    const std::string name(station);
    if (magnitude == 0) return format("%dkm from %s, %s", d, name.c_str(), region.c_str());
    // rounded to tenths away from zero, so that a negative magnitude keeps its sign and digit
    const int m = (std::abs(magnitude) + 5) / 10;
    return format("M%s%d.%1d %dkm from %s, %s", magnitude < 0 ? "-" : "", m / 10, m % 10, d, name.c_str(),
                  region.c_str());
}

} // namespace tlx
