#include "views/view_style.h"

#include "core/text.h"

#include <cstdlib>

namespace tlx::views {

Rgb parseRgb(const std::string& text) {
    int v[3] = {0, 0, 0};
    std::string_view rest(text);
    for (int& x : v) {
        int n = 0;
        std::size_t used = 0;
        if (!takeInt(rest, n, used)) break;
        x = n < 0 ? 0 : n > 255 ? 255 : n;
        rest.remove_prefix(used);
    }
    return {v[0], v[1], v[2]};
}

std::string rgbText(const Rgb& c) {
    return format("%3d %3d %3d", c.r, c.g, c.b);
}

ViewColors readColors(const IniProfile& ini) {
    ViewColors c;
    const std::pair<const char*, Rgb*> keys[] = {{"Background", &c.background},
                                                 {"PrintBackground", &c.printBackground},
                                                 {"TextBkgnd", &c.textBackground},
                                                 {"Text", &c.text},
                                                 {"Label", &c.label},
                                                 {"Graph", &c.graph},
                                                 {"XGrid", &c.xGrid},
                                                 {"YGrid", &c.yGrid},
                                                 {"PSMarkers", &c.markers},
                                                 {"Phases", &c.phases}};
    for (const auto& [key, target] : keys)
        if (ini.has("Colors", key)) *target = parseRgb(ini.getString("Colors", key));
    return c;
}

FontSpec readFont(const IniProfile& ini, const std::string& section, bool largeScreen) {
    FontSpec f;
    f.height = largeScreen ? -14 : -11;
    f.faceName = ini.getString(section, "FaceName", f.faceName);
    f.weight = ini.getInt(section, "Weight", f.weight);
    f.height = ini.getInt(section, "Height", f.height);
    f.pitchAndFamily = ini.getInt(section, "PitchAndFamily", f.pitchAndFamily);
    f.italic = ini.getBool(section, "Italic", false);
    f.underline = ini.getBool(section, "Underline", false);
    return f;
}

ViewStyle readViewStyle(const IniProfile& ini, bool largeScreen) {
    return {readColors(ini), readFont(ini, "Font", largeScreen), readFont(ini, "TextFont", largeScreen),
            readFont(ini, "MarkFont", largeScreen)};
}

bool writeColor(IniProfile& ini, const std::string& key, const Rgb& c) {
    return ini.setString("Colors", key, rgbText(c));
}

bool writeFont(IniProfile& ini, const std::string& section, const FontSpec& f) {
    return ini.setString(section, "FaceName", f.faceName) && ini.setInt(section, "Weight", f.weight) &&
           ini.setInt(section, "Height", f.height) &&
           ini.setInt(section, "PitchAndFamily", f.pitchAndFamily) &&
           ini.setInt(section, "Italic", f.italic ? 1 : 0) &&
           ini.setInt(section, "Underline", f.underline ? 1 : 0);
}

ViewColors monochrome() {
    ViewColors c;
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    c.background = c.printBackground = c.textBackground = white;
    c.text = c.label = c.graph = c.xGrid = c.yGrid = c.markers = c.phases = black;
    return c;
}

} // namespace tlx::views
