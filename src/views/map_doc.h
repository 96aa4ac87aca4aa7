// CMapDoc: the location map's document without Qt: the loaded map files, the settings, the centre
// and zoom level, the stations and event of the open event windows, and the map's command table
// (menus, context menu, keys) with the commands that need no dialog.
#pragma once

#include "views/map_files.h"
#include "views/map_model.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tlx::views {

enum class MapCmd {
    In2,
    In3,
    In4,
    In5,
    In10,
    In20,
    FullIn,
    Out2,
    Out3,
    Out4,
    Out5,
    Out10,
    Out20,
    FullGlobe,
    Redraw,
    Cities,
    CityLabels,
    Plates,
    Rivers,
    RegionDisplay,
    Station1,
    Station2,
    Station3,
    Station4,
    Station5,
    Station6,
    Station7,
    Station8,
    EventColor,
    CityColor,
    DefaultColors,
    FontText,
    FontCities,
    Save,
    Copy,
    Print,
    GoogleEarth,
    EventReport,
    MakeEventReport,
    Close,
};

struct MapCommandSpec {
    MapCmd cmd;
    const char* text; // with its "&" mnemonic
    const char* key;  // "" when none
    bool checkable;
};
const MapCommandSpec& mapCommandSpec(MapCmd cmd);

struct MapMenuItem {
    enum Kind { Command, Separator, Submenu } kind = Command;
    MapCmd cmd = MapCmd::Redraw;
    const char* title = nullptr;
    std::vector<MapMenuItem> items;
};
std::vector<MapMenuItem> mapMenus();
std::vector<MapMenuItem> mapContextMenu();

class CMapDoc {
  public:
    // Reads the settings and loads the map files the options ask for.
    CMapDoc(const IniProfile& ini, bool largeScreen, const std::filesystem::path& dataDirectory);
    // For the console and tests: a map with the given style and data.
    CMapDoc(MapStyle style, MapData data);

    const MapData& data() const { return data_; }
    const MapStyle& style() const { return style_; }
    MapStyle& style() { return style_; }
    const MapContents& contents() const { return contents_; }

    double centreLat() const { return lat_; }
    double centreLon() const { return lon_; }
    int level() const { return level_; }
    double scaleKm() const { return kMapScales[level_]; }
    void setCentre(double lat, double lon);
    void setLevel(int level);
    // New stations and event; `fit` also recentres and rescales as on opening.
    void setContents(MapContents contents, bool fit);

    MapProjection projection(const MapRect& area) const { return {lat_, lon_, scaleKm(), area}; }
    // Recentres on the point under a pixel; false off the globe.
    bool recentre(const MapRect& area, double px, double py);

    // Zoom and option commands. Returns false for a command this needs the window for (dialogs,
    // files, printer, clipboard). Options are written back through `ini`.
    bool run(MapCmd cmd, IniProfile& ini, const std::filesystem::path& dataDirectory);
    bool checked(MapCmd cmd) const;

    // Counts every change that needs a new picture of the map (centre, scale, options, stations,
    // colours); the view redraws its cached picture when it differs.
    std::uint64_t version() const { return version_; }
    void changed() { ++version_; }

  private:
    void reload(const std::filesystem::path& dataDirectory);

    MapStyle style_;
    MapData data_;
    MapContents contents_;
    double lat_ = 0, lon_ = 0;
    int level_ = 0;
    std::uint64_t version_ = 1;
};

} // namespace tlx::views
