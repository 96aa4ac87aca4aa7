// The one command table of the program window: every menu, context-menu and tool-bar entry with
// its text, key, enabled and checked state, and, for what acts on an event window's document and
// view model, the action itself. Qt-free: the Qt side builds its menus from these tables and
// carries out only the commands that need a dialog, a file chooser, the clipboard or a printer.
#pragma once

#include "app/app_settings.h"
#include "core/ini_profile.h"
#include "document/eq_doc.h"
#include "seismo/magnitudes.h"
#include "views/eq_view_model.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tlx::app {

enum class Cmd {
    // File
    Open,
    Add,
    Remove,
    Save,
    SaveAs,
    Close,
    CloseAll,
    Print,
    PrintSettings,
    GifSettings,
    Exit,
    // Calculate
    DistanceMagnitude,
    LockMarkers,
    ResetMarkers,
    PsLocation,
    MagMlMs,
    MagMb,
    MagMd,
    MagAuto,
    MagUseCorrection,
    MagUseSensor,
    TimeFilter,
    FilterData,
    StaLta,
    Rms,
    // Display/Modify
    NextEvent,
    DataOperations,
    // View
    Display1,
    Display2,
    Display3,
    DisplayAll,
    Select1,
    Select2,
    Select3,
    UndoFiltering,
    CopyBoth,
    CopySeismogram,
    CopyText,
    Crop,
    Reset,
    Integrate,
    UndoIntegrate,
    DataPoints,
    Invert,
    YCounts,
    YVoltsAd,
    YVoltsAmp,
    YSensor,
    StatusBar,
    ToolBar,
    XScale,
    YScale,
    // Options
    ColorBackground,
    ColorPrintBackground,
    ColorGraph,
    ColorMarkers,
    ColorPhases,
    ColorXGrid,
    ColorYGrid,
    ColorTextBackground,
    ColorText,
    ColorLabel,
    CropMessage,
    DcOffset,
    Distance,
    FontMarkers,
    FontSeismogram,
    FontText,
    VertBar,
    HorzBar,
    Title,
    UtcTime,
    XGrid,
    YGrid,
    // Calculate > DFT/FFT Settings
    DftFull,
    DftView,
    FftFull,
    FftView,
    WindowFft,
    PadFft,
    // Spectrum window
    SpecSaveGif,
    SpecExport,
    SpecLowPass,
    SpecHighPass,
    SpecNotch,
    SpecBandPass,
    SpecTimeDomain,
    SpecRatio,
    SpecCopy,
    SpecZoom,
    SpecHigher,
    SpecLower,
    SpecVolts,
    SpecCounts,
    SpecPeakToPeak,
    SpecLogY,
    SpecYGrid,
    SpecXGrid,
    MagnitudeCalculator,
    GreatCircle,
    SwitchTables,
    TravelTimeTables,
    PhaseControl,
    PhaseTimes,
    PhaseDisplay,
    MsPeriod,
    MbPeriod,
    EwPicks,
    EwAddPick,
    ReplaySettings,
    PicksSave,
    PicksView,
    PicksClear,
    EventInformation,
    SensorInformation,
    TimeInformation,
    LocateEvent,
    Spectrogram,
    Helicorder,
    SendEmail,
    RemoteRequest,
    EventReport,
    AssociateSvx,
    LocalDataDirectory,
    TablesDirectory,
    HelpTopics,
    AutoFft,
    GoogleEarthEvent,
    GoogleEarthStation,
    GoogleEarthExe,
    DatalessDirectory,
    DatalessExtension,
    AddMiniSeedInfo,
    WebBroadband,
    WebNewEvents,
    WebArchives,
    WebFerncast,
    TextPanel,
    // Window, Help
    Arrange,
    Cascade,
    About,
};

// Spectrum: commands of a spectrum window, whose state that window gives.
enum class Scope { App, Window, Spectrum };

struct CommandSpec {
    Cmd cmd;
    const char* text; // menu text with its "&" mnemonic
    const char* key;  // accelerator, "" when none
    Scope scope;
    bool checkable;
};
const CommandSpec& commandSpec(Cmd cmd);

// A menu: entries are commands, separators or sub-menus.
struct MenuItem {
    enum Kind { Command, Separator, Submenu } kind = Command;
    Cmd cmd = Cmd::Open;
    const char* title = nullptr; // sub-menus
    std::vector<MenuItem> items;
};
// The menu bar with an event window open, and the reduced one without.
std::vector<MenuItem> eventWindowMenus();
std::vector<MenuItem> emptyFrameMenus();
std::vector<MenuItem> spectrumWindowMenus();
std::vector<MenuItem> spectrumContextMenu();
// The event window's context menu and the tool bar.
std::vector<MenuItem> eventContextMenu();
// On the P marker while the locator's picks dialog is open.
std::vector<MenuItem> pickContextMenu();
std::vector<Cmd> toolBarCommands();

// What an event window shows around its seismogram: the caption bar, the two scroll bars and the
// text panel.
struct WindowFrame {
    bool caption = true;
    bool horzBar = true;
    bool vertBar = true;
    bool textPanel = true;
    // The window's spectrum follows its view and data ("&Auto FFT Display").
    bool autoFft = false;
};

// The event window a command acts on.
struct WindowContext {
    CEqDoc& doc;
    views::EqViewModel& model;
    // P-S Location with the window's travel-time tables (markers at the current event's arrivals).
    std::function<bool(bool quiet)> psLocation;
    // Where the context menu was opened: a magnitude marker chosen there goes to that point.
    std::optional<views::Point> clickAt;
    WindowFrame* frame = nullptr;
};

// The settings model the option commands write through.
struct ShellContext {
    IniProfile& ini;
    AppSettings& settings;
    MagnitudeUnits& magnitudeUnits; // what the magnitude read-outs of every window use
};

struct CommandState {
    bool enabled = true;
    bool checked = false;
    std::string text; // the menu text, with "\t" and a key text where the document gives one
};
// `window` null: no event window is active.
CommandState commandState(Cmd cmd, const WindowContext* window, const AppSettings& settings,
                          MagnitudeUnits units);

enum class Outcome { Done, Refused, Host };
// Carries out a command on the window's document and view model. Host: the caller carries it out
// (dialogs, files, printing, clipboard, frame). Refused: disabled, nothing happened.
Outcome runWindowCommand(Cmd cmd, WindowContext& window, ShellContext& shell);

// What Crop cuts: the span the view shows.
CropSpan visibleCropSpan(const views::EqViewModel& model);

} // namespace tlx::app
