// Start-up of the application without Qt: the program directory and its write test, TELLURIX.INI,
// the directories and the general keys that the event window and the batch modes read.
#pragma once

#include "core/ini_profile.h"
#include "views/eq_view_model.h"
#include "views/eq_view.h"

#include <filesystem>
#include <string>

namespace tlx::app {

struct AppSettings {
    std::filesystem::path programDirectory;
    std::filesystem::path eventDirectory;
    std::filesystem::path localDirectory;
    std::filesystem::path phaseDirectory;
    std::string archiveDirectory;
    bool longFileNames = true;
    bool useEventTime = true;
    bool statusBar = true, toolBar = true;
    bool horzScroll = true, vertScroll = true;
    bool overWriteMessage = true;
    int gifWidth = 800, gifHeight = 600;
    bool gif32k = false;
    views::PrintSettings print;
    views::ViewOptions view;
};

// The directory the settings live in: TELLURIX_HOME when set (tests, read-only installs), else the
// executable's directory. Returns false when a test file cannot be written there.
bool programDirectoryWritable(const std::filesystem::path& dir);

AppSettings readAppSettings(const IniProfile& ini, const std::filesystem::path& programDirectory, bool largeScreen);

} // namespace tlx::app
