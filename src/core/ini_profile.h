// The settings file TELLURIX.INI: sections and keys compared without regard to case, the first
// match wins, and writing one key rewrites the file atomically keeping every other line as it was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

class IniProfile {
  public:
    IniProfile() = default;
    explicit IniProfile(std::filesystem::path path) { load(path); }

    // Takes the file's lines; a missing file gives an empty profile bound to that path.
    bool load(const std::filesystem::path& path);
    void loadText(std::string_view text);
    const std::filesystem::path& path() const { return path_; }

    bool has(std::string_view section, std::string_view key) const;
    std::string getString(std::string_view section, std::string_view key,
                          std::string_view fallback = {}) const;
    // Leading integer of the value (as the Windows profile reads it); fallback when there is none.
    int getInt(std::string_view section, std::string_view key, int fallback) const;
    double getDouble(std::string_view section, std::string_view key, double fallback) const;
    // A switch: any leading integer other than 0 is on.
    bool getBool(std::string_view section, std::string_view key, bool fallback) const;
    std::vector<std::string> keys(std::string_view section) const;

    // Sets one key (re-reading the file first so that other writers' lines survive) and, when the
    // profile is bound to a path, rewrites the file atomically. False when the file write failed.
    bool setString(std::string_view section, std::string_view key, std::string_view value);
    bool setInt(std::string_view section, std::string_view key, int value);
    bool setBool(std::string_view section, std::string_view key, bool value) {
        return setInt(section, key, value ? 1 : 0);
    }

    std::string text() const;

  private:
    struct Located {
        int sectionLine = -1; // index of the "[section]" line, -1 when absent
        int keyLine = -1;     // index of the first matching key line, -1 when absent
        int lastLine = -1;    // last non-blank line of the section
    };
    Located locate(std::string_view section, std::string_view key) const;

    std::filesystem::path path_;
    std::vector<std::string> lines_;
};

} // namespace tlx
