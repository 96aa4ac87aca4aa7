// Colours and fonts of the event window with their TELLURIX.INI keys (Qt-free).
#pragma once

#include "core/ini_profile.h"

#include <string>

namespace tlx::views {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// "R G B" with missing parts read as 0.
Rgb parseRgb(const std::string& text);
std::string rgbText(const Rgb& c); // "%3d %3d %3d"

struct ViewColors {
    Rgb background{128, 255, 255};
    Rgb printBackground{255, 255, 255};
    Rgb textBackground{220, 220, 220};
    Rgb text{0, 0, 128};
    Rgb label{0, 0, 0};
    Rgb graph{0, 0, 0};
    Rgb xGrid{0, 0, 0};
    Rgb yGrid{0, 0, 0};
    Rgb markers{0, 0, 0};
    Rgb phases{255, 0, 0};
};

struct FontSpec {
    std::string faceName = "MS Sans Serif";
    int weight = 700;
    int height = -14; // negative: character height in pixels
    int pitchAndFamily = 34;
    bool italic = false;
    bool underline = false;
};

struct ViewStyle {
    ViewColors colors;
    FontSpec font, textFont, markFont;
};

ViewColors readColors(const IniProfile& ini);
FontSpec readFont(const IniProfile& ini, const std::string& section, bool largeScreen);
ViewStyle readViewStyle(const IniProfile& ini, bool largeScreen);
bool writeColor(IniProfile& ini, const std::string& key, const Rgb& c);
bool writeFont(IniProfile& ini, const std::string& section, const FontSpec& f);

// Black on white for monochrome printing.
ViewColors monochrome();

} // namespace tlx::views
