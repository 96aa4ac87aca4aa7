#include "core/ini_profile.h"

#include "core/atomic_file.h"
#include "core/file_io.h"
#include "core/text.h"

#include <cstdlib>

namespace tlx {
namespace {

// "[name]" gives name; anything else gives an empty view and false.
bool sectionName(std::string_view line, std::string_view& name) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return false;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = trim(line.substr(1, close - 1));
    return true;
}

bool keyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::string_view t = trim(line);
    if (t.empty() || t.front() == ';') return false;
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    key = trim(t.substr(0, eq));
    value = trim(t.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return true;
}

} // namespace

bool IniProfile::load(const std::filesystem::path& path) {
    path_ = path;
    std::string text;
    if (!readTextFile(path, text)) {
        lines_.clear();
        return false;
    }
    loadText(text);
    return true;
}

void IniProfile::loadText(std::string_view text) {
    lines_.clear();
    TextLines lines(text);
    for (std::string_view line; lines.next(line);)
        lines_.emplace_back(line);
}

IniProfile::Located IniProfile::locate(std::string_view section, std::string_view key) const {
    Located at;
    bool inSection = false;
    for (int i = 0; i < static_cast<int>(lines_.size()); ++i) {
        std::string_view name;
        if (sectionName(lines_[i], name)) {
            if (inSection) break; // first matching section only
            inSection = iequals(name, section);
            if (inSection) at.sectionLine = at.lastLine = i;
            continue;
        }
        if (!inSection) continue;
        if (!trim(lines_[i]).empty()) at.lastLine = i;
        std::string_view k, v;
        if (at.keyLine < 0 && keyValue(lines_[i], k, v) && iequals(k, key)) at.keyLine = i;
    }
    return at;
}

bool IniProfile::has(std::string_view section, std::string_view key) const {
    return locate(section, key).keyLine >= 0;
}

std::string IniProfile::getString(std::string_view section, std::string_view key,
                                  std::string_view fallback) const {
    const Located at = locate(section, key);
    if (at.keyLine < 0) return std::string(fallback);
    std::string_view k, v;
    keyValue(lines_[at.keyLine], k, v);
    return std::string(v);
}

int IniProfile::getInt(std::string_view section, std::string_view key, int fallback) const {
    if (!has(section, key)) return fallback;
    const std::string value = getString(section, key);
    int n = 0;
    std::size_t used = 0;
    return takeInt(value, n, used) ? n : fallback;
}

double IniProfile::getDouble(std::string_view section, std::string_view key, double fallback) const {
    if (!has(section, key)) return fallback;
    const std::string value = getString(section, key);
    double n = 0;
    std::size_t used = 0;
    return takeDouble(value, n, used) ? n : fallback;
}

bool IniProfile::getBool(std::string_view section, std::string_view key, bool fallback) const {
    return getInt(section, key, fallback ? 1 : 0) != 0;
}

std::vector<std::string> IniProfile::keys(std::string_view section) const {
    std::vector<std::string> out;
    bool inSection = false;
    for (const std::string& line : lines_) {
        std::string_view name, k, v;
        if (sectionName(line, name)) {
            if (inSection) break;
            inSection = iequals(name, section);
        } else if (inSection && keyValue(line, k, v)) {
            out.emplace_back(k);
        }
    }
    return out;
}

bool IniProfile::setString(std::string_view section, std::string_view key, std::string_view value) {
    if (!path_.empty()) {
        std::string onDisk;
        if (readTextFile(path_, onDisk)) loadText(onDisk);
    }
    const std::string line = std::string(key) + "=" + std::string(value);
    const Located at = locate(section, key);
    if (at.keyLine >= 0) {
        lines_[at.keyLine] = line;
    } else if (at.sectionLine >= 0) {
        lines_.insert(lines_.begin() + at.lastLine + 1, line);
    } else {
        if (!lines_.empty() && !trim(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(line);
    }
    return path_.empty() || writeFileAtomically(path_, text());
}

bool IniProfile::setInt(std::string_view section, std::string_view key, int value) {
    return setString(section, key, std::to_string(value));
}

std::string IniProfile::text() const {
    std::string out;
    for (const std::string& line : lines_) {
        out += line;
        out += '\n';
    }
    return out;
}

} // namespace tlx
