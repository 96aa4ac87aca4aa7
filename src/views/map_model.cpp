#include "views/map_model.h"

#include "core/text.h"
#include "seismo/geodesy.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tlx::views {
namespace {

constexpr double kKmPerRadian = kEarthRadiusKm;
constexpr std::size_t kMaxStationName = 15;

bool hasPosition(double lat, double lon) {
    return !isUnknownValue(lat) && !isUnknownValue(lon) && std::isfinite(lat) && std::isfinite(lon) &&
           std::abs(lat) <= 90 && std::abs(lon) <= 360;
}

std::optional<MapEvent> eventOf(const EventRecord& r) {
    const auto& events = r.info.events;
    if (events.empty()) return std::nullopt;
    const std::size_t i =
        r.info.currentEvent >= 0 && static_cast<std::size_t>(r.info.currentEvent) < events.size()
            ? static_cast<std::size_t>(r.info.currentEvent)
            : 0;
    const EventEntry& e = events[i];
    if (!hasPosition(e.latitude, e.longitude)) return std::nullopt;
    MapEvent out{e.latitude, e.longitude, e.depth, "", 0, e.originTime};
    const struct {
        const char* type;
        std::int16_t value;
    } mags[] = {{"Ml", e.magMl}, {"Mb", e.magMb}, {"Ms", e.magMs}, {"Mw", e.magMw}, {"Md", e.magMd}};
    for (const auto& m : mags)
        if (m.value != 0) {
            out.magnitudeType = m.type;
            out.magnitudeHundredths = m.value;
            return out;
        }
    if (e.magOther != 0) {
        out.magnitudeType = fieldText(e.magOtherType, sizeof e.magOtherType);
        out.magnitudeHundredths = e.magOther;
    }
    return out;
}

} // namespace

MapStyle readMapStyle(const IniProfile& ini, bool largeScreen) {
    MapStyle s;
    s.options.cities = ini.getBool("Map", "Cities", true);
    s.options.cityLabels = ini.getBool("Map", "CityLabel", true);
    s.options.rivers = ini.getBool("Map", "Rivers", true);
    s.options.plates = ini.getBool("Map", "Plates", true);
    s.options.regionDisplay = ini.getBool("Settings", "DisplayMapRegion", true);
    for (int n = 1; n <= 10; ++n) {
        const std::string key = format("MapColor%d", n);
        if (ini.has("Settings", key)) s.colors.byNumber(n) = parseRgb(ini.getString("Settings", key));
    }
    s.panelFont = readFont(ini, "MapFont", largeScreen);
    s.cityFont = readFont(ini, "CityFont", largeScreen);
    return s;
}

bool writeMapOption(IniProfile& ini, const char* key, bool on) {
    const bool general = std::string_view(key) == "DisplayMapRegion";
    return ini.setBool(general ? "Settings" : "Map", key, on);
}

bool writeMapColor(IniProfile& ini, int n, const Rgb& c) {
    return ini.setString("Settings", format("MapColor%d", n), rgbText(c));
}

MapContents mapContents(const std::vector<MapWindowInput>& windows) {
    MapContents out;
    for (std::size_t w = 0; w < windows.size(); ++w) {
        const EventRecord* r = windows[w].first;
        if (!r) continue;
        const double spKm = windows[w].spDegrees * std::numbers::pi / 180 * kKmPerRadian;
        out.largestDistanceKm = std::max(out.largestDistanceKm, spKm);
        if (!out.event) out.event = eventOf(*r);
        if (!hasPosition(r->header.latitude, r->header.longitude)) continue;
        std::string name = r->stationName();
        if (name.size() > kMaxStationName) name.resize(kMaxStationName);
        out.stations.push_back({name, r->header.latitude, r->header.longitude, windows[w].spDegrees,
                                static_cast<int>(w),
                                addSeconds(r->header.startTime, r->header.startTimeOffset)});
    }
    return out;
}

MapFit fitMap(const MapContents& c, double lastLat, double lastLon) {
    MapFit fit{lastLat, lastLon, 0};
    if (c.event) {
        fit.lat = c.event->lat, fit.lon = c.event->lon;
    } else if (!c.stations.empty()) {
        fit.lat = c.stations.front().lat, fit.lon = c.stations.front().lon;
    }
    const double d = c.largestDistanceKm;
    fit.level = d <= 0 || d > 5000 ? 0 : snapScaleLevel(5 * d);
    return fit;
}

std::vector<std::string> cursorLines(const std::optional<MapPosition>& at, double scaleKm) {
    if (!at) return {"Lat: ???", "Long: ???", "Dist: ???", "Az: ???"};
    std::string lat, lon;
    if (scaleKm > 2000) {
        lat = format("Lat: %4.1f", at->lat + 0.05), lon = format("Long: %3.1f", at->lon + 0.05);
    } else if (scaleKm > 500) {
        lat = format("Lat: %4.2f", at->lat + 0.005), lon = format("Long: %3.2f", at->lon + 0.005);
    } else {
        lat = format("Lat: %4.3f", at->lat + 0.0005), lon = format("Long: %3.3f", at->lon + 0.0005);
    }
    return {lat, lon, format("Dist: %dkm", static_cast<int>(at->distanceKm + 0.5)),
            format("Az: %3.1f", at->azimuth)};
}

std::vector<std::string> eventLines(const MapEvent& e) {
    std::vector<std::string> out{format("Lat: %g", e.lat), format("Long: %g", e.lon),
                                 format("Depth: %gkm", e.depthKm)};
    if (e.magnitudeHundredths != 0) {
        const int m = (e.magnitudeHundredths + 5) / 10;
        out.push_back(format("Mag: %s%d.%1d", e.magnitudeType.c_str(), m / 10, std::abs(m % 10)));
    }
    const EventTime& t = e.origin;
    out.push_back(format("Time: %02d:%02d:%02d.%d", t.hour, t.minute, t.second,
                         static_cast<int>(t.nanoseconds / 100000000)));
    out.push_back(format("Date: %02d/%02d/%02d", t.month, t.day, t.year % 100));
    return out;
}

std::filesystem::path mapImageName(const std::filesystem::path& eventDirectory, const MapContents& c) {
    std::string name = "eventmap.gif";
    if (!c.stations.empty()) {
        const EventTime& t = c.stations.front().start;
        name = format("%02d%02d%02d_map.gif", t.year % 100, t.month, t.day);
    }
    return eventDirectory.empty() ? std::filesystem::path(name) : eventDirectory / name;
}

} // namespace tlx::views
