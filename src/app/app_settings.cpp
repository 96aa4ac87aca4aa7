#include "app/app_settings.h"

#include "core/text.h"
#include "document/doc_settings.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace tlx::app {

namespace {

fs::path directoryKey(const IniProfile& ini, const keys::S& key, const fs::path& fallback) {
    const std::string v = readSetting(ini, key);
    return v.empty() ? fallback : fs::path(v);
}

double numberKey(const IniProfile& ini, const keys::S& key) {
    double v = 0;
    return parseDouble(readSetting(ini, key), v) ? v : 0.0;
}

int clampedKey(const IniProfile& ini, const keys::I& key, int low, int high) {
    return std::clamp(readSetting(ini, key), low, high);
}

} // namespace

AppSettings readAppSettings(const IniProfile& ini, const fs::path& programDirectory, bool largeScreen) {
    using namespace keys;
    AppSettings s;
    s.programDirectory = programDirectory;
    std::error_code ec;
    const fs::path events = programDirectory / "events";
    s.eventDirectory =
        directoryKey(ini, kDirectory, fs::is_directory(events, ec) ? events : programDirectory);
    s.localDirectory = directoryKey(ini, kLocalDirectory, programDirectory);
    const fs::path tables = programDirectory / "tables";
    s.phaseDirectory =
        directoryKey(ini, kPhaseDirectory, fs::is_directory(tables, ec) ? tables : programDirectory);
    s.datalessDirectory = readSetting(ini, kDatalessDir);
    s.datalessExtension = readSetting(ini, kDatalessExt);
    s.googleEarthPath = readSetting(ini, kGoogleEarthPath);
    s.archiveDirectory = readSetting(ini, kArchiveDirectory);
    s.longFileNames = readSetting(ini, kLongFileNames);
    s.useEventTime = readSetting(ini, kUseEventTime);
    s.statusBar = readSetting(ini, kStatusBar);
    s.toolBar = readSetting(ini, kToolBar);
    s.horzScroll = readSetting(ini, kHorzScroll);
    s.vertScroll = readSetting(ini, kVertScroll);
    s.overWriteMessage = readSetting(ini, kOverWriteMessage);
    s.gifWidth = clampedKey(ini, kGifWidth, 100, 2048);
    s.gifHeight = clampedKey(ini, kGifHeight, 100, 2048);
    s.gif32k = readSetting(ini, kGif32K);
    s.magAuto = readSetting(ini, kMagAuto);
    s.allYRecords = readSetting(ini, kAllYRecords);
    s.allYWindows = readSetting(ini, kAllYWindows);
    s.framePos = parseFramePos(readSetting(ini, kFramePos));
    s.reportFile = readSetting(ini, kReportFile);
    s.reportType = readSetting(ini, kReportType);
    s.reportFilter = readSetting(ini, kReportFilter);
    s.displayMapRegion = readSetting(ini, kDisplayMapRegion);
    s.yDefault.on = readSetting(ini, kYDefOnOff);
    s.yDefault.mode = clampedKey(ini, kYDefMode, 0, 3);
    s.yDefault.fullScale = numberKey(ini, kYDefMax);
    s.yDefault.multiplier = numberKey(ini, kYDefMult);
    // Margins beyond a third of the page would leave nothing to draw on.
    s.print.top = clampedKey(ini, kPrintTop, 0, 256);
    s.print.bottom = clampedKey(ini, kPrintBottom, 0, 256);
    s.print.left = clampedKey(ini, kPrintLeft, 0, 340);
    s.print.right = clampedKey(ini, kPrintRight, 0, 340);
    s.print.color = readSetting(ini, kPrintColor);
    s.print.landscape = readSetting(ini, kPrintLand);
    views::ViewOptions& v = s.view;
    v.xGrid = readSetting(ini, kXGrid);
    v.yGrid = readSetting(ini, kYGrid);
    v.phases = readSetting(ini, kPhasesOpen);
    v.yLines = clampedKey(ini, kYLines, 1, 20);
    v.distance = readSetting(ini, kDistance);
    v.timeFormat = readSetting(ini, kTimeFormat);
    v.cmDspOk = readSetting(ini, kCmDspOk);
    v.autoDcOffset = readSetting(ini, kAutoDcOffsetKey);
    v.largeScreen = largeScreen;
    s.spectrum = loadSpectrumSettings(ini);
    s.recentFiles.read(ini);
    s.recentDirectories.read(ini);
    return s;
}

void writeExitSettings(IniProfile& ini, const AppSettings& s) {
    using namespace keys;
    writeSetting(ini, kStatusBar, s.statusBar);
    writeSetting(ini, kToolBar, s.toolBar);
    if (s.framePos) writeSetting(ini, kFramePos, framePosText(*s.framePos));
    writeSetting(ini, kReportFile, s.reportFile);
    writeSetting(ini, kReportType, s.reportType);
    writeSetting(ini, kReportFilter, s.reportFilter);
    writeSetting(ini, kDisplayMapRegion, s.displayMapRegion);
    writeSetting(ini, kDirectory, s.eventDirectory.string());
    s.recentFiles.write(ini);
    s.recentDirectories.write(ini);
}

std::optional<FramePos> parseFramePos(const std::string& text) {
    std::vector<std::string> words = split(text, ' ');
    std::erase(words, std::string());
    if (words.size() != 8) return std::nullopt;
    FramePos pos{};
    for (std::size_t i = 0; i < 8; ++i) {
        long long v = 0;
        if (!parseInt(words[i], v) || v < -100000 || v > 100000) return std::nullopt;
        pos[i] = static_cast<int>(v);
    }
    return pos;
}

std::string framePosText(const FramePos& p) {
    return format("%d %d %d %d %d %d %d %d", p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
}

void applyDefaultYScale(views::EqViewModel& model, const DefaultYScale& d) {
    if (!d.on || model.sources().empty()) return;
    if (!model.setMode(d.mode, true)) return;
    if (d.fullScale <= 0 || d.multiplier <= 0) return;
    for (int slot = 0; slot < static_cast<int>(model.sources().size()); ++slot)
        if (model.scale(slot).mode == d.mode) model.setFullScale(slot, d.fullScale, d.multiplier);
}

bool applyYScaleToWindow(views::EqViewModel& model, const YScaleChoice& c, bool currentWindow) {
    model.options().cmDspOk = c.centimetres;
    model.options().yLines = c.yLines;
    const bool all = c.allRecords || !currentWindow;
    if (!model.setMode(c.mode, all)) return false;
    for (int slot = 0; slot < static_cast<int>(model.sources().size()); ++slot)
        if (slot == model.currentRecord() || (all && model.scale(slot).mode == c.mode))
            model.setFullScale(slot, c.fullScale, c.multiplier);
    return true;
}

void storeYScaleChoice(IniProfile& ini, AppSettings& s, const YScaleChoice& c) {
    using namespace keys;
    auto store = [&ini](const keys::B& key, bool& field, bool value) {
        if (field != value) writeSetting(ini, key, field = value);
    };
    store(kAllYRecords, s.allYRecords, c.allRecords);
    store(kAllYWindows, s.allYWindows, c.allWindows);
    store(kCmDspOk, s.view.cmDspOk, c.centimetres);
    if (s.view.yLines != c.yLines) writeSetting(ini, kYLines, s.view.yLines = c.yLines);
    if (c.asDefault) {
        s.yDefault = {true, c.mode, c.fullScale, c.multiplier};
        writeSetting(ini, kYDefMax, format("%g", c.fullScale));
        writeSetting(ini, kYDefMult, format("%g", c.multiplier));
        writeSetting(ini, kYDefMode, c.mode);
    }
    store(kYDefOnOff, s.yDefault.on, c.asDefault);
}

} // namespace tlx::app
