#include "views/map_projection.h"

#include "core/text.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tlx::views {
namespace {

constexpr double kRad = std::numbers::pi / 180.0;
// How far beyond the map area a clipped line may reach (wider than any pen).
constexpr double kClipMargin = 16;

double dot(const double a[3], const UnitPoint& p) {
    return a[0] * p.x + a[1] * p.y + a[2] * p.z;
}

} // namespace

UnitPoint unitPoint(double latDeg, double lonDeg) {
    const double phi = latDeg * kRad, lambda = lonDeg * kRad;
    return {static_cast<float>(std::cos(phi) * std::cos(lambda)),
            static_cast<float>(std::cos(phi) * std::sin(lambda)), static_cast<float>(std::sin(phi))};
}

MapProjection::MapProjection(double centreLat, double centreLon, double scaleKm, const MapRect& area)
    : kmPerPixel_(scaleKm / std::max(1, area.height)), area_(area), cx_(area.left + area.width / 2),
      cy_(area.top + area.height / 2), centreLat_(centreLat), centreLon_(centreLon) {
    const double p0 = centreLat * kRad, l0 = centreLon * kRad;
    e_[0] = -std::sin(l0), e_[1] = std::cos(l0), e_[2] = 0;
    n_[0] = -std::sin(p0) * std::cos(l0), n_[1] = -std::sin(p0) * std::sin(l0), n_[2] = std::cos(p0);
    u_[0] = std::cos(p0) * std::cos(l0), u_[1] = std::cos(p0) * std::sin(l0), u_[2] = std::sin(p0);
}

std::optional<ScreenPoint> MapProjection::project(const UnitPoint& p) const {
    if (dot(u_, p) <= 0) return std::nullopt;
    const double scale = kEarthRadiusKm / kmPerPixel_;
    return ScreenPoint{cx_ + dot(e_, p) * scale, cy_ - dot(n_, p) * scale};
}

std::optional<MapPosition> MapProjection::inverse(double px, double py) const {
    const double dx = px - cx_, dy = py - cy_;
    const double rho = std::sqrt(dx * dx + dy * dy) * kmPerPixel_ / kEarthRadiusKm;
    if (rho > 1) return std::nullopt;
    const double distance = std::asin(rho) * kEarthRadiusKm;
    double azimuth = distance == 0 ? 0 : std::atan2(dx, -dy) / kRad;
    if (azimuth < 0) azimuth += 360;
    MapPosition at = pointAtDistance(centreLat_, centreLon_, distance, azimuth);
    at.distanceKm = distance;
    at.azimuth = azimuth;
    return at;
}

MapPosition pointAtDistance(double latDeg, double lonDeg, double distanceKm, double azimuthDeg) {
    const double p1 = latDeg * kRad, d = distanceKm / kEarthRadiusKm, az = azimuthDeg * kRad;
    const double sinP2 = std::sin(p1) * std::cos(d) + std::cos(p1) * std::sin(d) * std::cos(az);
    const double p2 = std::asin(std::clamp(sinP2, -1.0, 1.0));
    const double dl =
        std::atan2(std::sin(az) * std::sin(d) * std::cos(p1), std::cos(d) - std::sin(p1) * sinP2);
    double lon = lonDeg + dl / kRad;
    lon = std::remainder(lon, 360.0);
    return MapPosition{p2 / kRad, lon, distanceKm, azimuthDeg};
}

LineProjector::LineProjector(const MapProjection& projection) : projection_(projection) {
    const MapRect& a = projection.area();
    x0_ = a.left - kClipMargin, y0_ = a.top - kClipMargin;
    x1_ = a.left + a.width + kClipMargin, y1_ = a.top + a.height + kClipMargin;
}

void LineProjector::add(const UnitPoint& p) {
    const std::optional<ScreenPoint> q = projection_.project(p);
    if (!q) {
        begin();
        return;
    }
    if (!last_) {
        last_ = q;
        return;
    }
    // Liang-Barsky: the part of the step from last_ to q inside the clipping rectangle.
    const ScreenPoint a = *last_;
    last_ = q;
    const double dx = q->x - a.x, dy = q->y - a.y;
    double t0 = 0, t1 = 1;
    const double pk[4] = {-dx, dx, -dy, dy};
    const double qk[4] = {a.x - x0_, x1_ - a.x, a.y - y0_, y1_ - a.y};
    for (int k = 0; k < 4; ++k) {
        if (pk[k] == 0) {
            if (qk[k] < 0) {
                flush();
                return;
            }
            continue;
        }
        const double t = qk[k] / pk[k];
        if (pk[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1) {
        flush();
        return;
    }
    if (t0 > 0 || current_.empty()) {
        flush();
        current_.push_back({a.x + t0 * dx, a.y + t0 * dy});
    }
    current_.push_back({a.x + t1 * dx, a.y + t1 * dy});
    if (t1 < 1) flush();
}

void LineProjector::flush() {
    if (current_.size() >= 2) lines_.push_back(std::move(current_));
    current_.clear();
}

std::vector<UnitPoint> smallCircle(double latDeg, double lonDeg, double radiusKm, double stepDeg) {
    std::vector<UnitPoint> out;
    for (double az = 0; az <= 360 + stepDeg / 2; az += stepDeg) {
        const MapPosition p = pointAtDistance(latDeg, lonDeg, radiusKm, az);
        out.push_back(unitPoint(p.lat, p.lon));
    }
    return out;
}

int snapScaleLevel(double km) {
    int level = 0;
    for (int i = 0; i < static_cast<int>(kMapScales.size()); ++i)
        if (kMapScales[i] >= km * (1 - 1e-9)) level = i;
    return level;
}

std::optional<int> zoomLevel(int level, double factor, bool in) {
    const int last = static_cast<int>(kMapScales.size()) - 1;
    level = std::clamp(level, 0, last);
    if ((in && level == last) || (!in && level == 0)) return std::nullopt;
    const double km = in ? kMapScales[level] / factor : kMapScales[level] * factor;
    return snapScaleLevel(km);
}

std::string mapTitle(double scaleKm) {
    if (scaleKm < 1) return format("Location Map - Y-Scale: %gm", scaleKm * 1000);
    return format("Location Map - Y-Scale: %gkm", scaleKm);
}

int cityClassLimit(double scaleKm) {
    if (scaleKm >= 10000) return 50;
    if (scaleKm >= 5000) return 100;
    if (scaleKm >= 1000) return 200;
    if (scaleKm >= 500) return 500;
    if (scaleKm >= 100) return 1000;
    return 2000;
}

} // namespace tlx::views
