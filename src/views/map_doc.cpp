#include "views/map_doc.h"

#include <algorithm>
#include <iterator>

namespace tlx::views {
namespace {

const MapCommandSpec kMapSpecs[] = {
    {MapCmd::In2, "In  X  2", "PgDown", false},
    {MapCmd::In3, "In  X  3", "", false},
    {MapCmd::In4, "In  X  4", "", false},
    {MapCmd::In5, "In  X  5", "", false},
    {MapCmd::In10, "In  X  10", "", false},
    {MapCmd::In20, "In  X  20", "", false},
    {MapCmd::FullIn, "Full In", "", false},
    {MapCmd::Out2, "Out  X  2", "PgUp", false},
    {MapCmd::Out3, "Out  X  3", "", false},
    {MapCmd::Out4, "Out  X  4", "", false},
    {MapCmd::Out5, "Out  X  5", "", false},
    {MapCmd::Out10, "Out  X  10", "", false},
    {MapCmd::Out20, "Out  X  20", "", false},
    {MapCmd::FullGlobe, "Full Globe", "", false},
    {MapCmd::Redraw, "&Redraw Map", "", false},
    {MapCmd::Cities, "&Cities", "", true},
    {MapCmd::CityLabels, "City &Labels", "", true},
    {MapCmd::Plates, "&Plates", "", true},
    {MapCmd::Rivers, "&Rivers", "", true},
    {MapCmd::RegionDisplay, "&Region Display", "", true},
    {MapCmd::Station1, "Station &1", "", false},
    {MapCmd::Station2, "Station &2", "", false},
    {MapCmd::Station3, "Station &3", "", false},
    {MapCmd::Station4, "Station &4", "", false},
    {MapCmd::Station5, "Station &5", "", false},
    {MapCmd::Station6, "Station &6", "", false},
    {MapCmd::Station7, "Station &7", "", false},
    {MapCmd::Station8, "Station &8", "", false},
    {MapCmd::EventColor, "&Event Mark", "", false},
    {MapCmd::CityColor, "&City Markers", "", false},
    {MapCmd::DefaultColors, "&Default", "", false},
    {MapCmd::FontText, "&Text...", "", false},
    {MapCmd::FontCities, "&Cities...", "", false},
    {MapCmd::Save, "&Save", "", false},
    {MapCmd::Copy, "Co&py", "", false},
    {MapCmd::Print, "&Print...", "", false},
    {MapCmd::GoogleEarth, "Google Earth", "", false},
    {MapCmd::EventReport, "&Event Report...", "", false},
    {MapCmd::MakeEventReport, "&Make Event Report", "", false},
    {MapCmd::Close, "&Close", "", false},
};

struct Zoom {
    MapCmd cmd;
    double factor;
    bool in;
};
const Zoom kZooms[] = {{MapCmd::In2, 2, true},   {MapCmd::In3, 3, true},     {MapCmd::In4, 4, true},
                       {MapCmd::In5, 5, true},   {MapCmd::In10, 10, true},   {MapCmd::In20, 20, true},
                       {MapCmd::Out2, 2, false}, {MapCmd::Out3, 3, false},   {MapCmd::Out4, 4, false},
                       {MapCmd::Out5, 5, false}, {MapCmd::Out10, 10, false}, {MapCmd::Out20, 20, false}};

MapMenuItem c(MapCmd cmd) {
    return MapMenuItem{MapMenuItem::Command, cmd, nullptr, {}};
}
MapMenuItem sep() {
    return MapMenuItem{MapMenuItem::Separator, MapCmd::Redraw, nullptr, {}};
}
MapMenuItem sub(const char* title, std::vector<MapMenuItem> items) {
    return MapMenuItem{MapMenuItem::Submenu, MapCmd::Redraw, title, std::move(items)};
}

} // namespace

const MapCommandSpec& mapCommandSpec(MapCmd cmd) {
    return *std::find_if(std::begin(kMapSpecs), std::end(kMapSpecs),
                         [cmd](const MapCommandSpec& s) { return s.cmd == cmd; });
}

std::vector<MapMenuItem> mapMenus() {
    return {sub("&File",
                {c(MapCmd::Save), c(MapCmd::Print), sep(), c(MapCmd::EventReport), sep(), c(MapCmd::Close)}),
            sub("&Calculate", {c(MapCmd::Redraw), c(MapCmd::MakeEventReport), c(MapCmd::GoogleEarth)}),
            sub("Co&py", {c(MapCmd::Copy)}),
            sub("&Zoom",
                {c(MapCmd::In2), c(MapCmd::In3), c(MapCmd::In4), c(MapCmd::In5), c(MapCmd::In10),
                 c(MapCmd::In20), c(MapCmd::FullIn), sep(), c(MapCmd::Out2), c(MapCmd::Out3), c(MapCmd::Out4),
                 c(MapCmd::Out5), c(MapCmd::Out10), c(MapCmd::Out20), c(MapCmd::FullGlobe)}),
            sub("&Options",
                {sub("&Colors",
                     {c(MapCmd::Station1), c(MapCmd::Station2), c(MapCmd::Station3), c(MapCmd::Station4),
                      c(MapCmd::Station5), c(MapCmd::Station6), c(MapCmd::Station7), c(MapCmd::Station8),
                      sep(), c(MapCmd::EventColor), c(MapCmd::CityColor), sep(), c(MapCmd::DefaultColors)}),
                 sub("&Display",
                     {c(MapCmd::Cities), c(MapCmd::CityLabels), c(MapCmd::Plates), c(MapCmd::Rivers)}),
                 sub("&Fonts", {c(MapCmd::FontText), c(MapCmd::FontCities)}), c(MapCmd::RegionDisplay)})};
}

std::vector<MapMenuItem> mapContextMenu() {
    return {c(MapCmd::In2),
            c(MapCmd::In5),
            c(MapCmd::Out2),
            c(MapCmd::Out5),
            c(MapCmd::FullGlobe),
            sep(),
            c(MapCmd::MakeEventReport),
            c(MapCmd::GoogleEarth)};
}

CMapDoc::CMapDoc(const IniProfile& ini, bool largeScreen, const std::filesystem::path& dataDirectory)
    : style_(readMapStyle(ini, largeScreen)) {
    reload(dataDirectory);
}

CMapDoc::CMapDoc(MapStyle style, MapData data) : style_(std::move(style)), data_(std::move(data)) {}

void CMapDoc::reload(const std::filesystem::path& dataDirectory) {
    const MapOptions& o = style_.options;
    data_ = loadMapData(dataDirectory, MapLayers{o.rivers, o.plates, o.cities});
    ++version_;
}

void CMapDoc::setCentre(double lat, double lon) {
    lat_ = lat, lon_ = lon;
    ++version_;
}

void CMapDoc::setLevel(int level) {
    level_ = std::clamp(level, 0, static_cast<int>(kMapScales.size()) - 1);
    ++version_;
}

void CMapDoc::setContents(MapContents contents, bool fit) {
    contents_ = std::move(contents);
    if (fit) {
        const MapFit f = fitMap(contents_, lat_, lon_);
        lat_ = f.lat, lon_ = f.lon, level_ = f.level;
    }
    ++version_;
}

bool CMapDoc::recentre(const MapRect& area, double px, double py) {
    const std::optional<MapPosition> at = projection(area).inverse(px, py);
    if (!at) return false;
    setCentre(at->lat, at->lon);
    return true;
}

bool CMapDoc::run(MapCmd cmd, IniProfile& ini, const std::filesystem::path& dataDirectory) {
    for (const Zoom& z : kZooms)
        if (z.cmd == cmd) {
            if (const std::optional<int> level = zoomLevel(level_, z.factor, z.in)) setLevel(*level);
            return true;
        }
    MapOptions& o = style_.options;
    struct Option {
        MapCmd cmd;
        bool MapOptions::*flag;
        const char* key;
        bool needsFile;
    };
    static const Option kOptions[] = {
        {MapCmd::Cities, &MapOptions::cities, "Cities", true},
        {MapCmd::CityLabels, &MapOptions::cityLabels, "CityLabel", false},
        {MapCmd::Plates, &MapOptions::plates, "Plates", true},
        {MapCmd::Rivers, &MapOptions::rivers, "Rivers", true},
        {MapCmd::RegionDisplay, &MapOptions::regionDisplay, "DisplayMapRegion", false}};
    for (const Option& opt : kOptions)
        if (opt.cmd == cmd) {
            o.*opt.flag = !(o.*opt.flag);
            writeMapOption(ini, opt.key, o.*opt.flag);
            if (opt.needsFile && o.*opt.flag)
                reload(dataDirectory);
            else
                ++version_;
            return true;
        }
    switch (cmd) {
    case MapCmd::FullIn:
        setLevel(static_cast<int>(kMapScales.size()) - 1);
        return true;
    case MapCmd::FullGlobe:
        setLevel(0);
        return true;
    default:
        return false;
    }
}

bool CMapDoc::checked(MapCmd cmd) const {
    const MapOptions& o = style_.options;
    switch (cmd) {
    case MapCmd::Cities:
        return o.cities;
    case MapCmd::CityLabels:
        return o.cityLabels;
    case MapCmd::Plates:
        return o.plates;
    case MapCmd::Rivers:
        return o.rivers;
    case MapCmd::RegionDisplay:
        return o.regionDisplay;
    default:
        return false;
    }
}

} // namespace tlx::views
