// Constants the whole program shares.
#pragma once

namespace tlx {

constexpr double kKmPerDegree = 111.1775;
constexpr double kMilesPerKm = 0.621371;
// Marks an unknown angle, elevation, coordinate or distance.
constexpr double kUnknownValue = -12345.0;

} // namespace tlx
