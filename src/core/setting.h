// A key of TELLURIX.INI with its section, its type and its default: each key is declared once and
// read and written only through these typed accessors.
#pragma once

#include "core/ini_profile.h"

#include <string>
#include <string_view>

namespace tlx {

template <class T> struct Setting {
    std::string_view section;
    std::string_view key;
    T fallback;
};

inline bool readSetting(const IniProfile& ini, const Setting<bool>& s) {
    return ini.getBool(s.section, s.key, s.fallback);
}
inline int readSetting(const IniProfile& ini, const Setting<int>& s) {
    return ini.getInt(s.section, s.key, s.fallback);
}
inline double readSetting(const IniProfile& ini, const Setting<double>& s) {
    return ini.getDouble(s.section, s.key, s.fallback);
}
inline std::string readSetting(const IniProfile& ini, const Setting<std::string_view>& s) {
    return ini.getString(s.section, s.key, s.fallback);
}

inline bool writeSetting(IniProfile& ini, const Setting<bool>& s, bool value) {
    return ini.setBool(s.section, s.key, value);
}
inline bool writeSetting(IniProfile& ini, const Setting<int>& s, int value) {
    return ini.setInt(s.section, s.key, value);
}
inline bool writeSetting(IniProfile& ini, const Setting<std::string_view>& s, std::string_view value) {
    return ini.setString(s.section, s.key, value);
}

} // namespace tlx
