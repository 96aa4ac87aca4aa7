#include "app/event_commands.h"

#include "document/pick_store.h"
#include "views/view_math.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace tlx::app {
namespace {

constexpr Scope A = Scope::App;
constexpr Scope W = Scope::Window;
constexpr Scope S = Scope::Spectrum;

const CommandSpec kSpecs[] = {
    {Cmd::Open, "&Open...", "Ctrl+O", A, false},
    {Cmd::Add, "&Add...", "Ctrl+A", W, false},
    {Cmd::Remove, "&Remove", "", W, false},
    {Cmd::Save, "&Save File", "Ctrl+S", W, false},
    {Cmd::SaveAs, "Save &As...", "Alt+Ctrl+S", W, false},
    {Cmd::Close, "&Close", "", W, false},
    {Cmd::CloseAll, "Close A&ll", "", W, false},
    {Cmd::Print, "&Print...", "Ctrl+P", W, false},
    {Cmd::PrintSettings, "Print Se&ttings...", "", A, false},
    {Cmd::GifSettings, "&GIF Settings...", "", A, false},
    {Cmd::Exit, "E&xit", "", A, false},
    {Cmd::DistanceMagnitude, "&Distance/Magnitude", "Ctrl+D", W, true},
    {Cmd::LockMarkers, "&Lock P-S Markers", "Alt+Ctrl+L", W, true},
    {Cmd::ResetMarkers, "&Reset P-S Markers", "Ctrl+R", W, false},
    {Cmd::PsLocation, "P-S &Location", "Ctrl+L", W, false},
    {Cmd::MagMlMs, "&Ml && Ms Marker", "", W, true},
    {Cmd::MagMb, "M&b Marker", "", W, true},
    {Cmd::MagMd, "M&d Marker", "", W, true},
    {Cmd::MagAuto, "&Auto Magnitude Sensitivity", "", W, true},
    {Cmd::MagUseCorrection, "Use Magnitude &Correction", "", W, true},
    {Cmd::MagUseSensor, "Use &Sensor Units", "", W, true},
    {Cmd::TimeFilter, "&Time Domain Filtering", "", W, false},
    {Cmd::FilterData, "&Filter Data", "", W, false},
    {Cmd::StaLta, "ST&A/LTA Ratios", "", W, false},
    {Cmd::Rms, "RMS / Ma&x / Min", "", W, false},
    {Cmd::NextEvent, "&Next Event", "E", W, false},
    {Cmd::DataOperations, "&Data Operations...", "", W, false},
    {Cmd::Display1, "Display Record &1", "Ctrl+1", W, true},
    {Cmd::Display2, "Display Record &2", "Ctrl+2", W, true},
    {Cmd::Display3, "Display Record &3", "Ctrl+3", W, true},
    {Cmd::DisplayAll, "Display &All Files", "Alt+A", W, false},
    {Cmd::Select1, "Select Record &1", "1", W, false},
    {Cmd::Select2, "Select Record &2", "2", W, false},
    {Cmd::Select3, "Select Record &3", "3", W, false},
    {Cmd::UndoFiltering, "Undo", "", W, false},
    {Cmd::CopyBoth, "&Both", "Ctrl+C", W, false},
    {Cmd::CopySeismogram, "&Seismogram", "", W, false},
    {Cmd::CopyText, "&Text", "", W, false},
    {Cmd::Crop, "C&rop", "Alt+Ctrl+C", W, false},
    {Cmd::Reset, "R&eset", "Alt+R", W, false},
    {Cmd::Integrate, "&Integrate Data", "Alt+I", W, false},
    {Cmd::UndoIntegrate, "U&ndo Integrate", "", W, false},
    {Cmd::DataPoints, "Data &Points", "", W, true},
    {Cmd::Invert, "In&vert Data", "", W, true},
    {Cmd::YCounts, "A/D &Counts", "C", W, true},
    {Cmd::YVoltsAd, "&Volts - A/D Input", "V", W, true},
    {Cmd::YVoltsAmp, "Volts - &Amp Input", "A", W, true},
    {Cmd::YSensor, "Sensor &Units", "U", W, true},
    {Cmd::StatusBar, "&Status Bar", "", A, true},
    {Cmd::ToolBar, "&Toolbar", "", A, true},
    {Cmd::XScale, "&X-Scale...", "", W, false},
    {Cmd::YScale, "&Y-Scale...", "", W, false},
    {Cmd::ColorBackground, "&Background", "", A, false},
    {Cmd::ColorPrintBackground, "&Print Background", "", A, false},
    {Cmd::ColorGraph, "&Graph", "", A, false},
    {Cmd::ColorMarkers, "P-S &Markers", "", A, false},
    {Cmd::ColorPhases, "P&hases", "", A, false},
    {Cmd::ColorXGrid, "&X-Grid", "", A, false},
    {Cmd::ColorYGrid, "&Y-Grid", "", A, false},
    {Cmd::ColorTextBackground, "B&ackground", "", A, false},
    {Cmd::ColorText, "&Data", "", A, false},
    {Cmd::ColorLabel, "&Labels", "", A, false},
    {Cmd::CropMessage, "Crop &Message", "", W, true},
    {Cmd::DcOffset, "D&C Offset...", "", W, false},
    {Cmd::Distance, "&Distance", "", W, true},
    {Cmd::FontMarkers, "&Markers Font", "", A, false},
    {Cmd::FontSeismogram, "&Seismogram Window", "", A, false},
    {Cmd::FontText, "&Text Window", "", A, false},
    {Cmd::VertBar, "&Vertical Bar", "", W, true},
    {Cmd::HorzBar, "&Horizontal Bar", "", W, true},
    {Cmd::Title, "&Title", "", W, true},
    {Cmd::UtcTime, "&UTC Time", "", W, true},
    {Cmd::XGrid, "&X-Grid", "", W, true},
    {Cmd::YGrid, "&Y-Grid", "", W, true},
    {Cmd::DftFull, "&DFT Full", "", W, false},
    {Cmd::DftView, "DF&T View Only", "", W, false},
    {Cmd::FftFull, "&FFT Full", "", W, false},
    {Cmd::FftView, "FFT &View Only", "", W, false},
    {Cmd::WindowFft, "&Window DFT/FFT", "", W, true},
    {Cmd::PadFft, "FFT &Pad Data", "", W, true},
    {Cmd::SpecSaveGif, "Save &GIF Image...", "", S, false},
    {Cmd::SpecExport, "&Export...", "", S, false},
    {Cmd::SpecLowPass, "&Low-Pass Filter...", "", S, false},
    {Cmd::SpecHighPass, "&High-Pass Filter...", "", S, false},
    {Cmd::SpecNotch, "&Notch Filter...", "", S, false},
    {Cmd::SpecBandPass, "&Band Pass Filter...", "", S, false},
    {Cmd::SpecTimeDomain, "&Time Domain", "", S, false},
    {Cmd::SpecRatio, "&Amplitude Ratio File", "", S, false},
    {Cmd::SpecCopy, "&Copy", "", S, false},
    {Cmd::SpecZoom, "&Zoom In/Out", "", S, true},
    {Cmd::SpecHigher, "&Higher Frequencies", "", S, false},
    {Cmd::SpecLower, "&Lower Frequencies", "", S, false},
    {Cmd::SpecVolts, "&Volts", "", S, true},
    {Cmd::SpecCounts, "&Counts", "", S, true},
    {Cmd::SpecPeakToPeak, "&Peak-to-Peak Amplitude", "", S, true},
    {Cmd::SpecLogY, "&Log-Y Display", "", S, true},
    {Cmd::SpecYGrid, "&Y-Grid Display", "", S, true},
    {Cmd::SpecXGrid, "&X-Grid Display", "", S, true},
    {Cmd::MagnitudeCalculator, "Magnitude &Calculator...", "", W, false},
    {Cmd::GreatCircle, "&Great Circle Distance...", "", A, false},
    {Cmd::SwitchTables, "&Switch Tables", "", W, false},
    {Cmd::TravelTimeTables, "&Travel-Time Tables...", "", W, false},
    {Cmd::PhaseControl, "Phase &Control...", "", W, false},
    {Cmd::PhaseTimes, "Phase &Times", "", W, false},
    {Cmd::PicksSave, "&Save", "Alt+K", W, false},
    {Cmd::PicksView, "&View", "", W, false},
    {Cmd::PicksClear, "&Clear", "", W, false},
    {Cmd::EventInformation, "&Event Information", "", W, false},
    {Cmd::SensorInformation, "&Sensor Information", "", W, false},
    {Cmd::TimeInformation, "&Time Information", "", W, false},
    {Cmd::PhaseDisplay, "&Display", "", W, true},
    {Cmd::LocateEvent, "L&ocate Event", "Alt+E", W, false},
    {Cmd::MsPeriod, "Calculate Ms &Period", "", W, false},
    {Cmd::MbPeriod, "Calculate M&b Period", "", W, false},
    {Cmd::EwPicks, "&Earthworm Picks...", "", W, false},
    {Cmd::EwAddPick, "Add P Time to Pick List", "", W, false},
    {Cmd::ReplaySettings, "Re&play Settings...", "", A, false},
    {Cmd::Spectrogram, "S&pectrogram", "Ctrl+G", W, false},
    {Cmd::Helicorder, "&Helicorder", "Ctrl+H", W, false},
    {Cmd::SendEmail, "Send E-&Mail...", "", W, false},
    {Cmd::RemoteRequest, "Re&mote Request...", "", A, false},
    {Cmd::EventReport, "&Event Report...", "", A, false},
    {Cmd::AssociateSvx, "Associate S&VX File", "", A, false},
    {Cmd::LocalDataDirectory, "&Local Data Directory...", "", A, false},
    {Cmd::TablesDirectory, "Ta&bles Directory...", "", A, false},
    {Cmd::HelpTopics, "&Help", "F1", A, false},
    {Cmd::AutoFft, "&Auto FFT Display", "", W, true},
    {Cmd::GoogleEarthEvent, "&Event", "", W, false},
    {Cmd::GoogleEarthStation, "&Station", "", W, false},
    {Cmd::GoogleEarthExe, "GoogleEarth E&xe...", "", A, false},
    {Cmd::DatalessDirectory, "Default Dataless &Directory...", "", A, false},
    {Cmd::DatalessExtension, "Default Dataless File &Extension...", "", A, false},
    {Cmd::AddMiniSeedInfo, "&Add Header Information...", "", W, false},
    {Cmd::WebBroadband, "&Broadband Request", "", A, false},
    {Cmd::WebNewEvents, "&New Event Files", "", A, false},
    {Cmd::WebArchives, "Event File &Archives", "", A, false},
    {Cmd::WebFerncast, "&Ferncast", "", A, false},
    {Cmd::TextPanel, "Te&xt", "", W, true},
    {Cmd::Arrange, "&Arrange", "", W, false},
    {Cmd::Cascade, "&Cascade", "", W, false},
    {Cmd::About, "&About Tellurix...", "", A, false},
};

MenuItem c(Cmd cmd) {
    return MenuItem{MenuItem::Command, cmd, nullptr, {}};
}
MenuItem sep() {
    return MenuItem{MenuItem::Separator, Cmd::Open, nullptr, {}};
}
MenuItem sub(const char* title, std::vector<MenuItem> items) {
    return MenuItem{MenuItem::Submenu, Cmd::Open, title, std::move(items)};
}

MenuItem helpMenu() {
    return sub("&Help", {c(Cmd::HelpTopics), c(Cmd::About)});
}

MenuItem webMenu() {
    return sub("&Web",
               {c(Cmd::WebBroadband), c(Cmd::WebNewEvents), c(Cmd::WebArchives), c(Cmd::WebFerncast)});
}

int recordIndex(Cmd cmd, Cmd first) {
    return static_cast<int>(cmd) - static_cast<int>(first);
}

int yModeOf(Cmd cmd) {
    switch (cmd) {
    case Cmd::YCounts:
        return views::kModeCounts;
    case Cmd::YVoltsAd:
        return views::kModeVoltsAd;
    case Cmd::YVoltsAmp:
        return views::kModeVoltsAmp;
    default:
        return views::kModeSensor;
    }
}

int magModeOf(Cmd cmd) {
    return cmd == Cmd::MagMlMs ? views::kMagMlMs : cmd == Cmd::MagMb ? views::kMagMb : views::kMagMd;
}

const EventRecord* currentRecord(const WindowContext& w) {
    return w.doc.recordCount() > 0 ? &w.doc.record(w.doc.currentRecord()) : nullptr;
}

// The window's display switches that are also stored as the defaults of new windows.
struct StoredSwitch {
    Cmd cmd;
    bool views::ViewOptions::*option;
    const keys::B* key;
};
const StoredSwitch kStoredSwitches[] = {
    {Cmd::Distance, &views::ViewOptions::distance, &keys::kDistance},
    {Cmd::UtcTime, &views::ViewOptions::timeFormat, &keys::kTimeFormat},
    {Cmd::PhaseDisplay, &views::ViewOptions::phases, &keys::kPhasesOpen},
    {Cmd::XGrid, &views::ViewOptions::xGrid, &keys::kXGrid},
    {Cmd::YGrid, &views::ViewOptions::yGrid, &keys::kYGrid},
};

const StoredSwitch& storedSwitch(Cmd cmd) {
    return *std::find_if(std::begin(kStoredSwitches), std::end(kStoredSwitches),
                         [cmd](const StoredSwitch& s) { return s.cmd == cmd; });
}

} // namespace

const CommandSpec& commandSpec(Cmd cmd) {
    const auto* it = std::find_if(std::begin(kSpecs), std::end(kSpecs),
                                  [cmd](const CommandSpec& s) { return s.cmd == cmd; });
    return *it;
}

std::vector<MenuItem> emptyFrameMenus() {
    return {sub("&File", {c(Cmd::Open), c(Cmd::AssociateSvx), c(Cmd::EventReport), c(Cmd::ReplaySettings),
                          c(Cmd::GoogleEarthExe), sep(), c(Cmd::LocalDataDirectory), c(Cmd::TablesDirectory),
                          sep(), c(Cmd::PrintSettings), c(Cmd::GifSettings), sep(), c(Cmd::RemoteRequest),
                          sep(), c(Cmd::Exit)}),
            sub("&View", {c(Cmd::WebBroadband), c(Cmd::WebArchives), c(Cmd::WebNewEvents),
                          c(Cmd::WebFerncast), sep(), c(Cmd::ToolBar), c(Cmd::StatusBar)}),
            helpMenu()};
}

std::vector<MenuItem> eventWindowMenus() {
    return {
        sub("&File", {c(Cmd::Open),
                      c(Cmd::Add),
                      c(Cmd::Remove),
                      sep(),
                      c(Cmd::Save),
                      c(Cmd::SaveAs),
                      c(Cmd::Close),
                      c(Cmd::CloseAll),
                      c(Cmd::AssociateSvx),
                      c(Cmd::ReplaySettings),
                      sep(),
                      c(Cmd::Print),
                      c(Cmd::PrintSettings),
                      c(Cmd::EventReport),
                      c(Cmd::GifSettings),
                      sep(),
                      c(Cmd::LocalDataDirectory),
                      c(Cmd::TablesDirectory),
                      sub("M&INISEED Control",
                          {c(Cmd::DatalessDirectory), c(Cmd::DatalessExtension), c(Cmd::AddMiniSeedInfo)}),
                      c(Cmd::GoogleEarthExe),
                      sep(),
                      c(Cmd::SendEmail),
                      c(Cmd::RemoteRequest),
                      sep(),
                      c(Cmd::Exit)}),
        sub("&Calculate",
            {c(Cmd::DistanceMagnitude), c(Cmd::LockMarkers), c(Cmd::ResetMarkers),
             sub("P&icks", {c(Cmd::PicksSave), c(Cmd::PicksView), c(Cmd::PicksClear)}), sep(),
             c(Cmd::PsLocation), c(Cmd::SwitchTables),
             sub("&Magnitude",
                 {c(Cmd::MagMlMs), c(Cmd::MagMb), c(Cmd::MagMd), sep(), c(Cmd::MagAuto),
                  c(Cmd::MagUseCorrection), c(Cmd::MagUseSensor), sep(), c(Cmd::MbPeriod), c(Cmd::MsPeriod)}),
             c(Cmd::MagnitudeCalculator), c(Cmd::GreatCircle),
             sub("DFT/&FFT Settings", {c(Cmd::DftFull), c(Cmd::DftView), c(Cmd::FftFull), c(Cmd::FftView),
                                       sep(), c(Cmd::AutoFft), c(Cmd::WindowFft), c(Cmd::PadFft)}),
             c(Cmd::Spectrogram), c(Cmd::Helicorder), sep(), c(Cmd::TimeFilter), c(Cmd::StaLta), c(Cmd::Rms),
             sep(), c(Cmd::EwPicks)}),
        sub("&Display/Modify",
            {c(Cmd::EventInformation), c(Cmd::SensorInformation), c(Cmd::TimeInformation), c(Cmd::NextEvent),
             c(Cmd::DataOperations), sep(),
             sub("&Google Earth", {c(Cmd::GoogleEarthEvent), c(Cmd::GoogleEarthStation)})}),
        sub("&Tables", {c(Cmd::TravelTimeTables)}),
        sub("&View",
            {c(Cmd::Display1),
             c(Cmd::Display2),
             c(Cmd::Display3),
             c(Cmd::DisplayAll),
             sep(),
             c(Cmd::Select1),
             c(Cmd::Select2),
             c(Cmd::Select3),
             sep(),
             c(Cmd::UndoFiltering),
             sub("&Copy", {c(Cmd::CopyBoth), c(Cmd::CopySeismogram), c(Cmd::CopyText)}),
             c(Cmd::Crop),
             c(Cmd::Reset),
             sub("P&hases", {c(Cmd::PhaseDisplay), c(Cmd::PhaseTimes), c(Cmd::PhaseControl)}),
             sep(),
             c(Cmd::Integrate),
             c(Cmd::UndoIntegrate),
             c(Cmd::LocateEvent),
             c(Cmd::DataPoints),
             c(Cmd::Invert),
             sub("Y-Scale &Display", {c(Cmd::YCounts), c(Cmd::YVoltsAd), c(Cmd::YVoltsAmp), c(Cmd::YSensor)}),
             webMenu(),
             sep(),
             c(Cmd::StatusBar),
             c(Cmd::TextPanel),
             c(Cmd::ToolBar)}),
        sub("&X-Scale", {c(Cmd::XScale)}),
        sub("&Y-Scale", {c(Cmd::YScale)}),
        sub("&Options",
            {sub("&Colors",
                 {sub("&Seismogram Window",
                      {c(Cmd::ColorBackground), c(Cmd::ColorPrintBackground), c(Cmd::ColorGraph),
                       c(Cmd::ColorPhases), c(Cmd::ColorMarkers), c(Cmd::ColorXGrid), c(Cmd::ColorYGrid)}),
                  sub("&Text Window", {c(Cmd::ColorTextBackground), c(Cmd::ColorText), c(Cmd::ColorLabel)})}),
             c(Cmd::CropMessage), c(Cmd::DcOffset), c(Cmd::Distance),
             sub("&Fonts", {c(Cmd::FontMarkers), c(Cmd::FontSeismogram), c(Cmd::FontText)}),
             sub("Scroll &Bars", {c(Cmd::VertBar), c(Cmd::HorzBar)}), c(Cmd::Title), c(Cmd::UtcTime),
             c(Cmd::XGrid), c(Cmd::YGrid)}),
        sub("&Window", {c(Cmd::Arrange), c(Cmd::Cascade)}),
        helpMenu(),
    };
}

std::vector<MenuItem> spectrumWindowMenus() {
    return {
        sub("&File", {c(Cmd::Open), c(Cmd::SpecSaveGif), c(Cmd::Close), sep(), c(Cmd::LocalDataDirectory),
                      c(Cmd::TablesDirectory), sep(), c(Cmd::Print), c(Cmd::PrintSettings),
                      c(Cmd::GifSettings), c(Cmd::SpecExport), sep(), c(Cmd::Exit)}),
        sub("&Calculate", {c(Cmd::SpecLowPass), c(Cmd::SpecHighPass), c(Cmd::SpecNotch), c(Cmd::SpecBandPass),
                           sep(), c(Cmd::SpecTimeDomain), c(Cmd::SpecRatio)}),
        sub("&View", {c(Cmd::SpecCopy), c(Cmd::SpecZoom), c(Cmd::SpecHigher), c(Cmd::SpecLower), webMenu(),
                      sep(), c(Cmd::StatusBar), c(Cmd::ToolBar)}),
        sub("&Options", {c(Cmd::SpecVolts), c(Cmd::SpecCounts), c(Cmd::SpecPeakToPeak), c(Cmd::SpecLogY),
                         c(Cmd::SpecYGrid), c(Cmd::SpecXGrid), sep(), c(Cmd::Title)}),
        sub("&Window", {c(Cmd::Arrange), c(Cmd::Cascade)}),
        helpMenu(),
    };
}

std::vector<MenuItem> spectrumContextMenu() {
    return {c(Cmd::SpecZoom), c(Cmd::SpecHigher), c(Cmd::SpecLower), sep(), c(Cmd::SpecLogY)};
}

std::vector<MenuItem> eventContextMenu() {
    return {c(Cmd::Save),
            c(Cmd::SaveAs),
            c(Cmd::Print),
            sep(),
            sub("Display/Modify", {c(Cmd::EventInformation), c(Cmd::SensorInformation),
                                   c(Cmd::TimeInformation), c(Cmd::NextEvent), c(Cmd::DataOperations)}),
            sub("Scales", {c(Cmd::XScale), c(Cmd::YScale)}),
            c(Cmd::Crop),
            c(Cmd::Integrate),
            c(Cmd::UndoIntegrate),
            c(Cmd::FilterData),
            c(Cmd::UndoFiltering),
            sep(),
            c(Cmd::DistanceMagnitude),
            c(Cmd::PsLocation),
            c(Cmd::SwitchTables),
            sub("Magnitude", {c(Cmd::MagMlMs), c(Cmd::MagMb), c(Cmd::MagMd)}),
            c(Cmd::LocateEvent),
            c(Cmd::EventReport)};
}

std::vector<MenuItem> pickContextMenu() {
    return {c(Cmd::EwAddPick)};
}

std::vector<Cmd> toolBarCommands() {
    return {Cmd::Open, Cmd::Save, Cmd::Print, Cmd::DistanceMagnitude, Cmd::PsLocation, Cmd::Reset};
}

CommandState commandState(Cmd cmd, const WindowContext* w, const AppSettings& s, MagnitudeUnits units) {
    const CommandSpec& spec = commandSpec(cmd);
    CommandState st;
    st.text = spec.text;
    // Commands of an event window are off without one; the spectrum window gives its own.
    if ((spec.scope == Scope::Window && !w) || spec.scope == Scope::Spectrum) {
        st.enabled = false;
        return st;
    }
    switch (cmd) {
    case Cmd::StatusBar:
        st.checked = s.statusBar;
        return st;
    case Cmd::ToolBar:
        st.checked = s.toolBar;
        return st;
    default:
        break;
    }
    if (!w) return st;
    if (w->frame) {
        if (cmd == Cmd::VertBar) st.checked = w->frame->vertBar;
        if (cmd == Cmd::HorzBar) st.checked = w->frame->horzBar;
        if (cmd == Cmd::Title) st.checked = w->frame->caption;
        if (cmd == Cmd::TextPanel) st.checked = w->frame->textPanel;
        if (cmd == Cmd::AutoFft) st.checked = w->frame->autoFft;
    }
    const CEqDoc& doc = w->doc;
    const views::EqViewModel& m = w->model;
    switch (cmd) {
    case Cmd::Remove:
        st.enabled = doc.canRemove();
        if (doc.recordCount() > 0) st.text = doc.removeMenuText();
        break;
    case Cmd::DistanceMagnitude:
        st.checked = m.options().distance;
        break;
    case Cmd::LockMarkers:
        st.checked = m.locked();
        break;
    case Cmd::MagMlMs:
    case Cmd::MagMb:
    case Cmd::MagMd:
        st.checked = m.magMode() == magModeOf(cmd);
        break;
    case Cmd::MagAuto:
        st.checked = units == MagnitudeUnits::Auto;
        break;
    case Cmd::MagUseCorrection:
        st.checked = units == MagnitudeUnits::Correction;
        break;
    case Cmd::MagUseSensor:
        st.checked = units == MagnitudeUnits::SensorUnits;
        break;
    case Cmd::Display1:
    case Cmd::Display2:
    case Cmd::Display3: {
        const int i = recordIndex(cmd, Cmd::Display1);
        st.enabled = doc.isDisplayRecordEnabled(i);
        st.checked = doc.isDisplayRecordChecked(i);
        if (i < doc.recordCount()) st.text = doc.displayMenuText(i);
        break;
    }
    case Cmd::DisplayAll:
        st.enabled = doc.recordCount() > 1;
        break;
    case Cmd::Select1:
    case Cmd::Select2:
    case Cmd::Select3: {
        const int i = recordIndex(cmd, Cmd::Select1);
        st.enabled = doc.recordCount() > 1 && i < doc.recordCount();
        if (i < doc.recordCount()) st.text = doc.selectMenuText(i);
        break;
    }
    case Cmd::UndoFiltering:
        st.enabled = doc.canUndoFiltering();
        st.text = doc.undoMenuText();
        break;
    case Cmd::Integrate:
        st.enabled = doc.canIntegrate();
        break;
    case Cmd::UndoIntegrate:
        st.enabled = doc.canUndoIntegrate();
        break;
    case Cmd::DataPoints:
        st.checked = m.options().dataPoints;
        break;
    case Cmd::Invert:
        st.checked = doc.inverted();
        break;
    case Cmd::YCounts:
    case Cmd::YVoltsAd:
    case Cmd::YVoltsAmp:
    case Cmd::YSensor: {
        const EventRecord* r = currentRecord(*w);
        st.enabled = r && views::modeAvailable(yModeOf(cmd), *r);
        st.checked = r && m.scale(doc.currentRecord()).mode == yModeOf(cmd);
        break;
    }
    case Cmd::CropMessage:
        st.checked = doc.cropMessage();
        break;
    case Cmd::PicksView:
        st.enabled = anyRecordHasPicks(doc);
        break;
    case Cmd::WindowFft:
        st.checked = s.spectrum.windowFft;
        break;
    case Cmd::PadFft:
        st.checked = s.spectrum.padFft;
        break;
    case Cmd::Distance:
    case Cmd::UtcTime:
    case Cmd::XGrid:
    case Cmd::YGrid:
    case Cmd::PhaseDisplay:
        st.checked = m.options().*storedSwitch(cmd).option;
        break;
    default:
        break;
    }
    return st;
}

CropSpan visibleCropSpan(const views::EqViewModel& m) {
    CropSpan span;
    if (m.sources().empty()) return span;
    const double sps = m.sources().front().record->header.sps;
    span.firstSample = static_cast<int>(m.visibleSamples(0).first);
    span.sampleCount = static_cast<int>(sps * m.spanSeconds());
    span.leftEdgeSeconds = static_cast<double>(m.leftMs() - m.axisStartMs()) / 1000.0;
    return span;
}

Outcome runWindowCommand(Cmd cmd, WindowContext& w, ShellContext& shell) {
    const CommandState state = commandState(cmd, &w, shell.settings, shell.magnitudeUnits);
    if (!state.enabled) return Outcome::Refused;
    CEqDoc& doc = w.doc;
    views::EqViewModel& m = w.model;
    switch (cmd) {
    case Cmd::Remove:
        doc.removeCurrent();
        break;
    case Cmd::Save:
        doc.save(SaveMode::Save);
        break;
    case Cmd::SaveAs:
        doc.save(SaveMode::SaveAs);
        break;
    case Cmd::DistanceMagnitude:
        m.toggleDistanceDisplay();
        break;
    case Cmd::LockMarkers:
        m.setLocked(!m.locked());
        break;
    case Cmd::ResetMarkers:
        m.resetMarkers();
        break;
    case Cmd::PsLocation:
        if (w.psLocation) w.psLocation(false);
        break;
    case Cmd::MagMlMs:
    case Cmd::MagMb:
    case Cmd::MagMd:
        m.setMagMode(m.magMode() == magModeOf(cmd) ? views::kMagNone : magModeOf(cmd), w.clickAt);
        break;
    case Cmd::MagAuto:
    case Cmd::MagUseCorrection:
    case Cmd::MagUseSensor: {
        // Auto toggles; switched off it falls back to the correction. The explicit choices end Auto.
        MagnitudeUnits& units = shell.magnitudeUnits;
        if (cmd == Cmd::MagAuto)
            units = units == MagnitudeUnits::Auto ? MagnitudeUnits::Correction : MagnitudeUnits::Auto;
        else
            units = cmd == Cmd::MagUseCorrection ? MagnitudeUnits::Correction : MagnitudeUnits::SensorUnits;
        const bool automatic = units == MagnitudeUnits::Auto;
        if (automatic != shell.settings.magAuto)
            writeSetting(shell.ini, keys::kMagAuto, shell.settings.magAuto = automatic);
        break;
    }
    case Cmd::NextEvent:
        doc.nextEvent();
        if (m.options().distance && w.psLocation) w.psLocation(true);
        break;
    case Cmd::Display1:
    case Cmd::Display2:
    case Cmd::Display3:
        doc.displayRecord(recordIndex(cmd, Cmd::Display1));
        break;
    case Cmd::DisplayAll:
        doc.displayAll();
        break;
    case Cmd::Select1:
    case Cmd::Select2:
    case Cmd::Select3:
        doc.selectRecord(recordIndex(cmd, Cmd::Select1));
        break;
    case Cmd::UndoFiltering:
        doc.undoFiltering();
        break;
    case Cmd::Crop:
        if (doc.crop(visibleCropSpan(m))) m.reset();
        break;
    case Cmd::Reset: {
        m.reset();
        const views::ViewOptions& stored = shell.settings.view;
        m.options().xGrid = stored.xGrid;
        m.options().yGrid = stored.yGrid;
        m.options().timeFormat = stored.timeFormat;
        m.options().distance = stored.distance;
        break;
    }
    case Cmd::Integrate:
        doc.integrate();
        break;
    case Cmd::UndoIntegrate:
        doc.undoIntegrate();
        break;
    case Cmd::DataPoints:
        m.options().dataPoints = !m.options().dataPoints;
        break;
    case Cmd::Invert:
        doc.invert();
        break;
    case Cmd::YCounts:
    case Cmd::YVoltsAd:
    case Cmd::YVoltsAmp:
    case Cmd::YSensor:
        m.setMode(yModeOf(cmd), false);
        break;
    case Cmd::VertBar:
    case Cmd::HorzBar: {
        // The window's own bar, kept as the default of windows opened later.
        if (!w.frame) return Outcome::Refused;
        const bool vertical = cmd == Cmd::VertBar;
        bool& shown = vertical ? w.frame->vertBar : w.frame->horzBar;
        shown = !shown;
        (vertical ? shell.settings.vertScroll : shell.settings.horzScroll) = shown;
        writeSetting(shell.ini, vertical ? keys::kVertScroll : keys::kHorzScroll, shown);
        break;
    }
    case Cmd::Title:
        if (!w.frame) return Outcome::Refused;
        w.frame->caption = !w.frame->caption;
        break;
    case Cmd::TextPanel:
        if (!w.frame) return Outcome::Refused;
        w.frame->textPanel = !w.frame->textPanel;
        break;
    case Cmd::CropMessage:
        doc.toggleCropMessage();
        break;
    case Cmd::WindowFft:
        shell.settings.spectrum.windowFft = !shell.settings.spectrum.windowFft;
        writeSpectrumSetting(shell.ini, "WindowFFT", shell.settings.spectrum.windowFft);
        break;
    case Cmd::PadFft:
        shell.settings.spectrum.padFft = !shell.settings.spectrum.padFft;
        writeSpectrumSetting(shell.ini, "PadFFT", shell.settings.spectrum.padFft);
        break;
    case Cmd::Distance:
    case Cmd::UtcTime:
    case Cmd::XGrid:
    case Cmd::YGrid:
    case Cmd::PhaseDisplay: {
        // The window's own switch, kept as the default of windows opened later.
        const StoredSwitch& stored = storedSwitch(cmd);
        bool& value = m.options().*stored.option;
        value = !value;
        shell.settings.view.*stored.option = value;
        writeSetting(shell.ini, *stored.key, value);
        if (cmd == Cmd::Distance) m.resetMarkers();
        break;
    }
    default:
        return Outcome::Host;
    }
    return Outcome::Done;
}

} // namespace tlx::app
