// The logic of the "Time Domain Filtering" dialog: settings line, edits, presets and Apply.
#pragma once

#include "core/ini_profile.h"
#include "core/messages.h"
#include "dsp/filter_target.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tlx {

inline constexpr std::array<int, 14> kPoleChoices = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 16, 32};

// Values of the dialog, kept per event window while it is open. A window starts with none held
// (both filters and the extended period off); the dialog's built-in values have both filters on.
struct TimeFilterSettings {
    bool lowPass = false;
    bool highPass = false;
    double lowCutoff = 1;
    int lowPoles = 2;
    double highCutoff = 0.1;
    int highPoles = 2;
    bool extendedOn = false;
    double sensorPeriod = 1;
    double sensorQ = 0.707;
    double extendedHighPass = 0.1;
    bool backwardHighPass = false;
    int presetIndex = -1;

    int flags() const { return (lowPass ? 1 : 0) | (highPass ? 2 : 0); }
    bool held() const { return flags() != 0 || extendedOn; }
};

// Setting "Filter" / "Time".
inline constexpr const char* kDefaultTimeSetting = "1 1.0 2 1.0 2 0 1.0 0.707 0.1 1";
TimeFilterSettings parseTimeSetting(std::string_view line);
std::string formatTimeSetting(const TimeFilterSettings& s);

// Focus leaving a frequency edit: a value with "s" is a period in seconds (10s -> 0.1).
// Focus leaving the sensor-period edit: a value with "h" is a frequency in Hz (2hz -> 0.5).
std::string normaliseFrequencyEdit(std::string_view text);
std::string normalisePeriodEdit(std::string_view text);

// One line of filter.dat.
struct FilterPreset {
    std::string name;
    int lowOn = 0, lowPoles = 0, highOn = 0, highPoles = 0, extendedOn = 0, backwardOn = 0;
    double lowCutoff = 0, highCutoff = 0, sensorPeriod = 0, sensorQ = 0, extendedHighPass = 0;
};
bool parsePresetLine(std::string_view line, FilterPreset& preset);
std::string formatPresetLine(const FilterPreset& preset);
std::vector<FilterPreset> parsePresets(std::string_view text);
std::vector<FilterPreset> loadPresets(const std::filesystem::path& file);
bool savePresets(const std::filesystem::path& file, const std::vector<FilterPreset>& presets,
                 Messages& messages);

// Runs the dialog's Apply on a window. Returns true when anything was applied ("U&ndo Filter"
// becomes available); a failure shows its message and stops, leaving earlier steps applied.
bool applyTimeFilter(const TimeFilterSettings& s, FilterTarget& target, Messages& messages);

// Parses the text of a pole list's edit; anything that is not a whole number gives 0.
int parsePoles(std::string_view text);

class CTimeFilter {
  public:
    CTimeFilter(std::filesystem::path presetFile, Messages& messages)
        : presetFile_(std::move(presetFile)), messages_(messages) {}

    // Dialog start: the window's held values, else the settings line; presets from the file.
    void start(const TimeFilterSettings& windowSettings, const IniProfile& profile);
    // Dialog close: values go back to the window; with "&Save as default" to the settings file.
    void close(TimeFilterSettings& windowSettings, IniProfile& profile, bool saveAsDefault) const;

    TimeFilterSettings& settings() { return settings_; }
    const std::vector<FilterPreset>& presets() const { return presets_; }

    bool apply(FilterTarget& target);
    // "U&ndo Filter" was pressed and the window restored its copy.
    void undone() { undoEnabled_ = false; }

    bool cutoffControlsEnabled(bool lowPassSide) const {
        return lowPassSide ? settings_.lowPass : settings_.highPass;
    }
    bool applyEnabled() const { return settings_.lowPass || settings_.highPass || settings_.extendedOn; }
    bool undoEnabled() const { return undoEnabled_; }
    bool presetButtonsEnabled() const { return !presets_.empty(); }
    bool addEnabled() const { return settings_.lowCutoff != 0 || settings_.highCutoff != 0; }

    // Preset buttons.
    void update(int index);
    bool add(const std::string& name);
    bool save(int index);
    bool remove(int index);

  private:
    FilterPreset current(const std::string& name) const;

    std::filesystem::path presetFile_;
    Messages& messages_;
    TimeFilterSettings settings_;
    std::vector<FilterPreset> presets_;
    bool undoEnabled_ = false;
};

} // namespace tlx
