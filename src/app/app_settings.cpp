#include "app/app_settings.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace tlx::app {

bool programDirectoryWritable(const fs::path& dir) {
    const fs::path test = dir / "tlxtest.tmp";
    bool ok = false;
    {
        std::ofstream out(test);
        ok = static_cast<bool>(out << "test");
    }
    std::error_code ec;
    fs::remove(test, ec);
    return ok;
}

namespace {
fs::path directoryKey(const IniProfile& ini, const char* key, const fs::path& fallback) {
    const std::string v = ini.getString("Settings", key);
    return v.empty() ? fallback : fs::path(v);
}
} // namespace

AppSettings readAppSettings(const IniProfile& ini, const fs::path& programDirectory, bool largeScreen) {
    AppSettings s;
    s.programDirectory = programDirectory;
    std::error_code ec;
    const fs::path events = programDirectory / "events";
    s.eventDirectory = directoryKey(ini, "Directory", fs::is_directory(events, ec) ? events : programDirectory);
    s.localDirectory = directoryKey(ini, "LocalDirectory", programDirectory);
    const fs::path tables = programDirectory / "tables";
    s.phaseDirectory = directoryKey(ini, "PhaseDirectory", fs::is_directory(tables, ec) ? tables : programDirectory);
    s.archiveDirectory = ini.getString("Settings", "ArchiveDirectory");
    s.longFileNames = ini.getInt("Settings", "LongFileNames", 1) != 0;
    s.useEventTime = ini.getInt("Settings", "UseEventTime", 1) != 0;
    s.statusBar = ini.getInt("Settings", "StatusBar", 1) != 0;
    s.toolBar = ini.getInt("Settings", "ToolBar", 1) != 0;
    s.horzScroll = ini.getInt("Settings", "HorzScroll", 1) != 0;
    s.vertScroll = ini.getInt("Settings", "VertScroll", 1) != 0;
    s.overWriteMessage = ini.getInt("Settings", "OverWriteMessage", 1) != 0;
    s.gifWidth = std::clamp(ini.getInt("Settings", "GifWidth", 800), 100, 2048);
    s.gifHeight = std::clamp(ini.getInt("Settings", "GifHeight", 600), 100, 2048);
    s.gif32k = ini.getInt("Settings", "Gif32K", 0) != 0;
    // Margins beyond a third of the page would leave nothing to draw on.
    s.print.top = std::clamp(ini.getInt("Settings", "PrintTop", 0), 0, 256);
    s.print.bottom = std::clamp(ini.getInt("Settings", "PrintBottom", 0), 0, 256);
    s.print.left = std::clamp(ini.getInt("Settings", "PrintLeft", 0), 0, 340);
    s.print.right = std::clamp(ini.getInt("Settings", "PrintRight", 0), 0, 340);
    s.print.color = ini.getInt("Settings", "PrintColor", 0) != 0;
    s.print.landscape = ini.getInt("Settings", "PrintLand", 1) != 0;
    views::ViewOptions& v = s.view;
    v.xGrid = ini.getInt("Settings", "XGrid", 1) != 0;
    v.yGrid = ini.getInt("Settings", "YGrid", 1) != 0;
    v.yLines = std::clamp(ini.getInt("Settings", "YLines", 5), 1, 20);
    v.distance = ini.getInt("Settings", "Distance", 1) != 0;
    v.timeFormat = ini.getInt("Settings", "TimeFormat", 1) != 0;
    v.cmDspOk = ini.getInt("Settings", "CmDspOk", 1) != 0;
    v.autoDcOffset = ini.getInt("Settings", "AutoDCOffset", 1) != 0;
    v.largeScreen = largeScreen;
    return s;
}

} // namespace tlx::app
