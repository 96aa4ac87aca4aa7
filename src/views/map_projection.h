// The location map's geometry: the orthographic projection of the globe around a centre point,
// its inverse for the cursor and recentring, the zoom table and the line breaking at the limb.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tlx::views {

constexpr double kEarthRadiusKm = 6371.0;

// A point of the sphere as a unit vector (x towards 0°N 0°E, z towards the north pole): the map
// files are turned into these once, so that projecting needs no trigonometry.
struct UnitPoint {
    float x = 0, y = 0, z = 0;
};
UnitPoint unitPoint(double latDeg, double lonDeg);

struct ScreenPoint {
    double x = 0, y = 0;
};

struct MapRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool contains(double x, double y) const {
        return x >= left && y >= top && x < left + width && y < top + height;
    }
};

// What the pointer is over: the distance and azimuth from the centre and the point itself.
struct MapPosition {
    double lat = 0, lon = 0;
    double distanceKm = 0;
    double azimuth = 0; // degrees 0..360 clockwise from north
};

class MapProjection {
  public:
    MapProjection(double centreLat, double centreLon, double scaleKm, const MapRect& area);

    // Screen position of a point on the near side, unrounded; absent on the far side.
    std::optional<ScreenPoint> project(const UnitPoint& p) const;
    std::optional<ScreenPoint> project(double latDeg, double lonDeg) const {
        return project(unitPoint(latDeg, lonDeg));
    }
    // The point under a pixel; absent off the globe.
    std::optional<MapPosition> inverse(double px, double py) const;

    double kmPerPixel() const { return kmPerPixel_; }
    const MapRect& area() const { return area_; }

  private:
    double kmPerPixel_;
    MapRect area_;
    double cx_, cy_; // pixel of the centre
    // East, north and up at the centre.
    double e_[3], n_[3], u_[3];
    double centreLat_, centreLon_;
};

// The point at a distance (km) and azimuth (degrees) from a start point on the sphere.
MapPosition pointAtDistance(double latDeg, double lonDeg, double distanceKm, double azimuthDeg);

// Screen polylines of lines given as runs of unit points: a point on the far side breaks the line
// (it resumes at the next visible point), and every step is clipped to the map area (with a small
// margin), so that no drawn coordinate is far off-screen however deep the zoom.
using Polyline = std::vector<ScreenPoint>;
class LineProjector {
  public:
    explicit LineProjector(const MapProjection& projection);
    // Starts a new line.
    void begin() {
        flush();
        last_.reset();
    }
    void add(const UnitPoint& p);
    // Ends the current line; returns the finished polylines.
    std::vector<Polyline>& finish() {
        flush();
        return lines_;
    }

  private:
    void flush();

    const MapProjection& projection_;
    double x0_, y0_, x1_, y1_; // the clipping rectangle
    std::vector<Polyline> lines_;
    Polyline current_;
    std::optional<ScreenPoint> last_; // the previous visible point
};

// A circle on the sphere of the given radius around a point, as points every `stepDeg` of azimuth.
std::vector<UnitPoint> smallCircle(double latDeg, double lonDeg, double radiusKm, double stepDeg = 2);

// Zoom levels: the height of the map area in km.
inline constexpr std::array<double, 17> kMapScales{15000, 10000, 5000, 2000, 1000, 500, 200, 100, 50,
                                                   20,    10,    5,    2,    1,    0.5, 0.2, 0.1};
// The level of the smallest table value not below `km` (level 16 below 0.1 km, 0 above 15000).
int snapScaleLevel(double km);
// A zoom by a factor from a level: the scale is divided (in) or multiplied (out) and snapped;
// absent at the end of the table.
std::optional<int> zoomLevel(int level, double factor, bool in);
// "Location Map - Y-Scale: %gkm" or "... %gm" below 1 km.
std::string mapTitle(double scaleKm);
// The largest size class of city drawn at a scale.
int cityClassLimit(double scaleKm);

} // namespace tlx::views
