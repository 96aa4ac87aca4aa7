// The keys of TELLURIX.INI that the program shell and the event window read and write, each
// declared once with its type and default.
#pragma once

#include "core/setting.h"

namespace tlx::app::keys {

using B = Setting<bool>;
using I = Setting<int>;
using S = Setting<std::string_view>;

// General keys.
inline constexpr B kLongFileNames{"Settings", "LongFileNames", true};
inline constexpr B kUseEventTime{"Settings", "UseEventTime", true};
inline constexpr S kFramePos{"Settings", "FramePos", ""};
inline constexpr B kStatusBar{"Settings", "StatusBar", true};
inline constexpr B kToolBar{"Settings", "ToolBar", true};
inline constexpr S kDirectory{"Settings", "Directory", ""};
inline constexpr S kDatalessDir{"Settings", "DatalessDir", ""};
inline constexpr S kDatalessExt{"Settings", "DatalessExt", "Dataless"};
inline constexpr S kGoogleEarthPath{"Settings", "GoogleEarthPath", ""};
// The View > Web pages, and the companion browser program started with the new-event page.
inline constexpr S kWebBroadband{"Web", "BroadbandRequest", "https://ds.iris.edu/wilber3/"};
inline constexpr S kWebNewEvents{"Web", "NewEventFiles", "https://earthquake.usgs.gov/earthquakes/map/"};
inline constexpr S kWebArchives{"Web", "EventFileArchives", "https://www.fdsn.org/datacenters/"};
inline constexpr S kWebFerncast{"Web", "Ferncast", "ferncast"};
inline constexpr S kLocalDirectory{"Settings", "LocalDirectory", ""};
inline constexpr S kPhaseDirectory{"Settings", "PhaseDirectory", ""};
inline constexpr S kArchiveDirectory{"Settings", "ArchiveDirectory", ""};
inline constexpr B kOverWriteMessage{"Settings", "OverWriteMessage", true};
inline constexpr I kPrintTop{"Settings", "PrintTop", 0};
inline constexpr I kPrintBottom{"Settings", "PrintBottom", 0};
inline constexpr I kPrintLeft{"Settings", "PrintLeft", 0};
inline constexpr I kPrintRight{"Settings", "PrintRight", 0};
inline constexpr B kPrintColor{"Settings", "PrintColor", false};
inline constexpr B kPrintLand{"Settings", "PrintLand", true};
inline constexpr I kGifHeight{"Settings", "GifHeight", 600};
inline constexpr I kGifWidth{"Settings", "GifWidth", 800};
inline constexpr B kGif32K{"Settings", "Gif32K", false};
inline constexpr I kYDefMode{"Settings", "YDefMode", 0};
inline constexpr B kYDefOnOff{"Settings", "YDefOnOff", false};
inline constexpr S kYDefMax{"Settings", "YDefMax", ""};
inline constexpr S kYDefMult{"Settings", "YDefMult", ""};
inline constexpr S kReportFile{"Settings", "ReportFile", ""};
inline constexpr I kReportType{"Settings", "ReportType", -1};
// The open-file browser and the file search.
inline constexpr I kFileOpenType{"Settings", "FileOpenType", 1};
inline constexpr I kFileOpenDirection{"Settings", "FileOpenDirection", 0};
inline constexpr S kFileName{"Settings", "FileName", "*.*"};
inline constexpr B kUseLastDir{"Settings", "UseLastDir", false};
inline constexpr B kArrange{"Settings", "Arrange", false};
inline constexpr S kFileSearch{"Settings", "FileSearch",
                               "1,0,100,0.1,10.0,0.1,12000.0, , , ,1,1,1,0.1,800.0"};
inline constexpr I kReportFilter{"Settings", "ReportFilter", 1};
inline constexpr B kDisplayMapRegion{"Settings", "DisplayMapRegion", true};
// How mail reaches the SMTP server: "auto", "starttls", "implicit" or "none"; a private CA file;
// whether a login may travel without TLS.
inline constexpr S kMailSecurity{"Settings", "MailSecurity", "auto"};
inline constexpr S kMailCaFile{"Settings", "MailCaFile", ""};
inline constexpr B kMailAllowPlainLogin{"Settings", "MailAllowPlainLogin", false};
// Event reports and the network report services.
inline constexpr I kReportColumn{"Settings", "ReportColumn", 0};
inline constexpr B kReportDirection{"Settings", "ReportDirection", false};
inline constexpr B kSaveClip{"Report", "SaveClip", false};
inline constexpr S kReportDirectory{"Settings", "ReportDirectory", ""};
inline constexpr I kNetReportSelect{"Settings", "NetReportSelect", 0};
inline constexpr I kNetReportTimeout{"Report", "NetTimeout", 30}; // seconds of silence before a fetch fails
inline constexpr B kCheckAssoc{"Settings", "CheckAssoc", false};

// The event window's display keys.
inline constexpr B kXGrid{"Settings", "XGrid", true};
inline constexpr B kYGrid{"Settings", "YGrid", true};
inline constexpr B kPhasesOpen{"Tables", "Open", false}; // extra phase marks in new windows
inline constexpr I kYLines{"Settings", "YLines", 5};
inline constexpr B kDistance{"Settings", "Distance", true};
inline constexpr B kHorzScroll{"Settings", "HorzScroll", true};
inline constexpr B kVertScroll{"Settings", "VertScroll", true};
inline constexpr B kTimeFormat{"Settings", "TimeFormat", true};
inline constexpr B kAllYRecords{"Settings", "AllYRecords", false};
inline constexpr B kAllYWindows{"Settings", "AllYWindows", false};
inline constexpr B kCmDspOk{"Settings", "CmDspOk", true};
inline constexpr B kMagAuto{"Settings", "MagAuto", true};

// The locator's picks dialog.
inline constexpr S kEwPicksFile{"EwPhases", "EwPicksFile", ""};
inline constexpr S kEwCmdFile{"EwPhases", "EwCmdFile", ""};
inline constexpr S kEwSumFile{"EwPhases", "EwSumFile", ""};
inline constexpr B kEwIncludeReport{"EwPhases", "EwIncludeReport", false};
inline constexpr B kEwClearFirst{"EwPhases", "EwClearFirst", false};
inline constexpr B kEwGetPhasesFirst{"EwPhases", "EwGetPhasesFirst", false};
inline constexpr I kEwRange{"EwPhases", "Range", 20000};
inline constexpr S kEwPicksPos{"EwPhases", "EwPicksPos", ""};

// The recorder replay dialog's defaults.
inline constexpr S kReplayNames{"Replay", "Names", ""};
inline constexpr I kReplayLength{"Replay", "Length", 10};
inline constexpr I kReplaySaveNth{"Replay", "SaveNth", 1};
inline constexpr I kReplayMode{"Replay", "Mode", 0};

} // namespace tlx::app::keys
