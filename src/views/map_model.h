// The location map's state and texts without Qt: its settings (options, ten colours, two fonts),
// the stations and the event taken from the event windows, the fitting of centre and scale, the
// left panel's lines and the proposed image name.
#pragma once

#include "core/ini_profile.h"
#include "record/event_record.h"
#include "views/map_projection.h"
#include "views/view_style.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tlx::views {

struct MapOptions {
    bool cities = true, cityLabels = true, rivers = true, plates = true, regionDisplay = true;
};

struct MapColors {
    std::array<Rgb, 8> stations{Rgb{0, 128, 0},  Rgb{0, 0, 128}, Rgb{253, 205, 10},  Rgb{255, 128, 128},
                                Rgb{0, 64, 128}, Rgb{0, 0, 255}, Rgb{210, 124, 248}, Rgb{64, 128, 128}};
    Rgb event{128, 0, 0};
    Rgb cities{0, 128, 64};
    // Colour n of the settings (1..10).
    Rgb& byNumber(int n) { return n <= 8 ? stations[n - 1] : n == 9 ? event : cities; }
};

struct MapStyle {
    MapOptions options;
    MapColors colors;
    FontSpec panelFont, cityFont;
};

MapStyle readMapStyle(const IniProfile& ini, bool largeScreen);
// Writes one option ("Cities", "CityLabel", "Rivers", "Plates"; "DisplayMapRegion" for the
// region display) with its value.
bool writeMapOption(IniProfile& ini, const char* key, bool on);
// Colour n (1..10) as "MapColor%d".
bool writeMapColor(IniProfile& ini, int n, const Rgb& c);

// A station of an open event window.
struct MapStation {
    std::string name; // at most 15 characters
    double lat = 0, lon = 0;
    double spDegrees = 0; // S-P distance, 0 when the window has none
    int window = 0;       // window order: gives the colour
    EventTime start{};    // the first record's start after its start-time offset
};

struct MapEvent {
    double lat = 0, lon = 0, depthKm = 0;
    std::string magnitudeType; // "Ml", "Mb", "Ms", "Mw", "Md" or the other type's name
    int magnitudeHundredths = 0;
    EventTime origin{};
};

// What one event window offers the map.
struct MapWindowInput {
    const EventRecord* first = nullptr; // the window's first record
    double spDegrees = 0;
};
struct MapContents {
    std::vector<MapStation> stations;
    std::optional<MapEvent> event;
    double largestDistanceKm = 0;
};
// Stations with a position (every window keeps its place in the colour order) and the event of
// the first window whose first record has one.
MapContents mapContents(const std::vector<MapWindowInput>& windows);

struct MapFit {
    double lat = 0, lon = 0;
    int level = 0;
};
// Centre on the event, else the first station, else `last`; the scale five times the largest
// S-P distance (the globe above 5000 km or without one).
MapFit fitMap(const MapContents& contents, double lastLat, double lastLon);

// Cursor lines of the left panel: "Lat:", "Long:", "Dist:", "Az:" (with "???" off the globe).
std::vector<std::string> cursorLines(const std::optional<MapPosition>& at, double scaleKm);
// "Lat:", "Long:", "Depth:", "Mag:", "Time:", "Date:" of the event.
std::vector<std::string> eventLines(const MapEvent& event);
// The sample line that sets the panel's width.
inline constexpr const char* kPanelSampleLine = "  Long: 12345.6789 ";

// "%02d%02d%02d_map.gif" of the first station's start in the event folder, or "eventmap.gif".
std::filesystem::path mapImageName(const std::filesystem::path& eventDirectory, const MapContents& contents);

} // namespace tlx::views
