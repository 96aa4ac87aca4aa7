// The program's settings model: every general and event-window key of TELLURIX.INI is read here
// (through the typed keys of setting_keys.h) and written back through the same keys.
#pragma once

#include "app/recent_list.h"
#include "app/setting_keys.h"
#include "core/ini_profile.h"
#include "dsp/spectrum_settings.h"
#include "views/eq_view.h"
#include "views/eq_view_model.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>

namespace tlx::app {

// The default Y scale of new event windows (the Y-Scale dialog's "Use as Default").
struct DefaultYScale {
    bool on = false;
    int mode = 0;
    double fullScale = 0; // 0: none stored
    double multiplier = 0;
};

// Main window placement: minimised x, y, maximised x, y, normal left, top, right, bottom.
using FramePos = std::array<int, 8>;

struct AppSettings {
    std::filesystem::path programDirectory;
    std::filesystem::path eventDirectory;
    std::filesystem::path localDirectory;
    std::filesystem::path phaseDirectory;
    std::string datalessDirectory;
    std::string datalessExtension = "Dataless";
    std::string googleEarthPath;
    std::string archiveDirectory;
    bool longFileNames = true;
    bool useEventTime = true;
    bool statusBar = true, toolBar = true;
    bool horzScroll = true, vertScroll = true;
    bool overWriteMessage = true;
    int gifWidth = 800, gifHeight = 600;
    bool gif32k = false;
    bool magAuto = true;
    bool allYRecords = false, allYWindows = false;
    std::optional<FramePos> framePos;
    std::string reportFile;
    int reportType = -1;
    int reportFilter = 1;
    bool displayMapRegion = true;
    DefaultYScale yDefault;
    views::PrintSettings print;
    views::ViewOptions view;
    SpectrumSettings spectrum; // spectrum windows and the DFT/FFT switches
    RecentList recentFiles{"Recent File List", "File"};
    RecentList recentDirectories{"Recent Directory List", "Dir"};
};

AppSettings readAppSettings(const IniProfile& ini, const std::filesystem::path& programDirectory,
                            bool largeScreen);

// The keys the main window writes when it closes.
void writeExitSettings(IniProfile& ini, const AppSettings& settings);

// "%d %d %d %d %d %d %d %d"; absent unless all eight numbers are there.
std::optional<FramePos> parseFramePos(const std::string& text);
std::string framePosText(const FramePos& pos);

// A new window's scales: the default Y scale when it is on and the record allows its mode.
void applyDefaultYScale(views::EqViewModel& model, const DefaultYScale& yDefault);

// What the Y-Scale dialog hands back on OK.
struct YScaleChoice {
    int mode = 0;
    double fullScale = 1;
    double multiplier = 1;
    int yLines = 5;
    bool allRecords = false;
    bool allWindows = false;
    bool centimetres = true;
    bool asDefault = false;
};
// Applies a Y-Scale choice to one window's model; false when the record lacks the mode's calibration.
bool applyYScaleToWindow(views::EqViewModel& model, const YScaleChoice& choice, bool currentWindow);
// Stores the choice in the settings model and writes the keys that changed.
void storeYScaleChoice(IniProfile& ini, AppSettings& settings, const YScaleChoice& choice);

} // namespace tlx::app
