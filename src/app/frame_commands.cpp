// The commands of the command table that need Qt: dialogs, file choosers, the clipboard, the
// printer, colours, fonts and the frame's bars.
#include "app/data_operations_dialog.h"
#include "app/dc_offset_dialog.h"
#include "app/event_info_sheet.h"
#include "app/event_window.h"
#include "app/ew_picks_dialog.h"
#include "app/filter_dialog.h"
#include "app/great_circle_dialog.h"
#include "app/helicorder_window.h"
#include "app/magnitude_calculator.h"
#include "app/magnitude_period.h"
#include "app/main_frame.h"
#include "app/open_file_dialog.h"
#include "app/outside_programs.h"
#include "app/phase_control_dialog.h"
#include "app/phase_times_window.h"
#include "app/pick_commands.h"
#include "app/remote_request_dialog.h"
#include "app/replay_dialog.h"
#include "app/report_dialog.h"
#include "app/rms_dialog.h"
#include "app/save_dialog.h"
#include "app/send_mail_dialog.h"
#include "app/shell_commands.h"
#include "app/spectrogram_window.h"
#include "app/spectrum_window.h"
#include "app/sta_lta_dialog.h"
#include "app/travel_times_dialog.h"
#include "app/xscale_dialog.h"
#include "app/yscale_dialog.h"
#include "core/debug_log.h"
#include "core/text.h"
#include "document/doc_save.h"
#include "record/save_naming.h"
#include "views/scene_painter.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <iterator>

namespace tlx::app {
namespace {

struct ColorEntry {
    Cmd cmd;
    const char* key;
    views::Rgb views::ViewColors::*member;
};
const ColorEntry kColors[] = {
    {Cmd::ColorBackground, "BackGround", &views::ViewColors::background},
    {Cmd::ColorPrintBackground, "PrintBackGround", &views::ViewColors::printBackground},
    {Cmd::ColorGraph, "Graph", &views::ViewColors::graph},
    {Cmd::ColorMarkers, "PSMarkers", &views::ViewColors::markers},
    {Cmd::ColorPhases, "Phases", &views::ViewColors::phases},
    {Cmd::ColorXGrid, "XGrid", &views::ViewColors::xGrid},
    {Cmd::ColorYGrid, "YGrid", &views::ViewColors::yGrid},
    {Cmd::ColorTextBackground, "TextBkgnd", &views::ViewColors::textBackground},
    {Cmd::ColorText, "Text", &views::ViewColors::text},
    {Cmd::ColorLabel, "Label", &views::ViewColors::label},
};

struct FontEntry {
    Cmd cmd;
    const char* section;
    views::FontSpec views::ViewStyle::*member;
};
const FontEntry kFonts[] = {
    {Cmd::FontMarkers, "MarkFont", &views::ViewStyle::markFont},
    {Cmd::FontSeismogram, "Font", &views::ViewStyle::font},
    {Cmd::FontText, "TextFont", &views::ViewStyle::textFont},
};

} // namespace

void CMainFrame::hostCommand(Cmd cmd, EventWindow* w) {
    switch (cmd) {
    case Cmd::Open:
        openDialog();
        return;
    case Cmd::Exit:
        close();
        return;
    case Cmd::PrintSettings:
        CPrintSettings(ctx_.settings, ctx_.ini, this).exec();
        return;
    case Cmd::GifSettings:
        CGifCntl(ctx_.settings, ctx_.ini, this).exec();
        return;
    case Cmd::GreatCircle:
        CWorldistDialog(this).exec();
        return;
    case Cmd::ReplaySettings:
        editReplaySetup(ctx_, this);
        return;
    case Cmd::RemoteRequest:
        CRemoteReq::showFor(w, ctx_, this);
        return;
    case Cmd::EventReport:
        CReport(ctx_, w, this).exec();
        return;
    case Cmd::StatusBar:
    case Cmd::ToolBar:
        toggleBar(cmd);
        return;
    case Cmd::AssociateSvx:
        associateEventFiles(ctx_);
        return;
    case Cmd::LocalDataDirectory:
        chooseLocalDataDirectory(ctx_, this);
        return;
    case Cmd::TablesDirectory:
        chooseTablesDirectory(ctx_, eventWindows(), this);
        return;
    case Cmd::DatalessDirectory:
        chooseDatalessDirectory(ctx_, this);
        return;
    case Cmd::DatalessExtension:
        chooseDatalessExtension(ctx_, this);
        return;
    case Cmd::GoogleEarthExe:
        chooseGoogleEarthProgram(ctx_, this);
        return;
    case Cmd::WebBroadband:
    case Cmd::WebNewEvents:
    case Cmd::WebArchives:
    case Cmd::WebFerncast:
        openWebCommand(cmd, ctx_);
        return;
    case Cmd::HelpTopics:
        showHelp(ctx_, this);
        return;
    case Cmd::About:
        QMessageBox::about(
            this, "About Tellurix",
            "Tellurix - seismic event viewer for amateur, school and small-network stations.\n"
            "Licence: GPL-3.0-or-later.\n"
            "Map data: GSHHG shorelines and rivers (LGPL), PB2002 plate boundaries (Bird 2003, "
            "ODC-By), cities from GeoNames (geonames.org, CC BY 4.0).");
        return;
    default:
        break;
    }
    if (chooseColor(cmd) || chooseFont(cmd)) return;
    if (!w) return;
    switch (cmd) {
    case Cmd::Add:
        showOpenFileDialog(*this, ctx_, w);
        break;
    case Cmd::Close:
        mdi_->closeActiveSubWindow();
        break;
    case Cmd::CloseAll:
        mdi_->closeAllSubWindows();
        break;
    case Cmd::Print:
        printWindow(w, true);
        break;
    case Cmd::DataOperations:
        CDataOperations(w->doc(), this).exec();
        break;
    case Cmd::DcOffset:
        if (CDcOffset(w->doc(), this).exec() == QDialog::Accepted) w->doc().refresh();
        break;
    case Cmd::TimeFilter:
    case Cmd::FilterData:
        CFilterDialog::showFor(*w, ctx_);
        break;
    case Cmd::StaLta:
        CStaLtaDialog::showFor(*w, ctx_);
        break;
    case Cmd::Rms:
        CRmsDialog::showFor(*w, ctx_);
        break;
    case Cmd::MagnitudeCalculator: {
        CMagCalcDialog dialog(w->view()->model(), ctx_.seismo, ctx_.messages, this);
        dialog.onHelp = [this, &dialog] { showHelp(ctx_, &dialog, "measure"); };
        dialog.exec();
        break;
    }
    case Cmd::TravelTimeTables:
        editTravelTimeTables(*w, eventWindows(), ctx_, this);
        break;
    case Cmd::PhaseControl:
        editPhases(eventWindows(), ctx_, this);
        break;
    case Cmd::MsPeriod:
    case Cmd::MbPeriod:
        setWindowPeriod(w->view()->model(), cmd == Cmd::MsPeriod, ctx_.messages);
        break;
    case Cmd::PhaseTimes:
        showPhaseTimes(*w, ctx_, phaseTimes_, this);
        break;
    case Cmd::EwPicks:
        CEwPicksDlg::showFor(*this, ctx_);
        break;
    case Cmd::EwAddPick:
        if (auto* picks = findChild<CEwPicksDlg*>(QString(), Qt::FindDirectChildrenOnly)) picks->addPick(*w);
        break;
    case Cmd::SwitchTables:
        switchTables(*w);
        break;
    case Cmd::LocateEvent:
        showLocationMap();
        break;
    case Cmd::SendEmail:
        CEmailSend::showFor(*w, ctx_, eventWindows(), this);
        break;
    case Cmd::CopyBoth:
        QApplication::clipboard()->setImage(w->copyImage(0));
        break;
    case Cmd::CopySeismogram:
        QApplication::clipboard()->setImage(w->copyImage(1));
        break;
    case Cmd::CopyText:
        QApplication::clipboard()->setImage(w->copyImage(2));
        break;
    case Cmd::DftFull:
    case Cmd::DftView:
    case Cmd::FftFull:
    case Cmd::FftView:
        openSpectrumWindow(cmd, *w, mdi_, ctx_);
        break;
    case Cmd::AutoFft:
        toggleAutoFft(*w, mdi_, ctx_);
        break;
    case Cmd::GoogleEarthEvent:
    case Cmd::GoogleEarthStation:
        showRecordInGoogleEarth(*w, cmd == Cmd::GoogleEarthEvent, ctx_);
        break;
    case Cmd::AddMiniSeedInfo:
        addHeaderInformation(*w, ctx_, this);
        break;
    case Cmd::Spectrogram:
        openSpectrogramWindow(*w, mdi_, ctx_);
        break;
    case Cmd::Helicorder:
        openHelicorderWindow(*w, mdi_, ctx_);
        break;
    case Cmd::XScale:
        xScale(*w);
        break;
    case Cmd::YScale:
        yScale(*w);
        break;
    case Cmd::PicksSave:
    case Cmd::PicksView:
    case Cmd::PicksClear:
        runPickCommand(cmd, *w);
        break;
    case Cmd::EventInformation:
    case Cmd::SensorInformation:
    case Cmd::TimeInformation:
        CEventInfoSheet::showFor(*w, cmd, ctx_, this);
        break;
    case Cmd::Arrange:
        mdi_->tileSubWindows();
        break;
    case Cmd::Cascade:
        mdi_->cascadeSubWindows();
        break;
    default:
        logFormat("command %d has no action here", static_cast<int>(cmd));
        break;
    }
}

void CMainFrame::toggleBar(Cmd cmd) {
    AppSettings& s = ctx_.settings;
    if (cmd == Cmd::StatusBar) statusBar()->setVisible(s.statusBar = !s.statusBar);
    if (cmd == Cmd::ToolBar) tools_->setVisible(s.toolBar = !s.toolBar);
}

void CMainFrame::openDialog() {
    showOpenFileDialog(*this, ctx_, nullptr);
}

bool CMainFrame::saveDocument(EventWindow& w, SaveMode mode, int slot) {
    CEqDoc& doc = w.doc();
    // A plain save of the program's own format writes in place; anything else asks for names.
    const bool inPlace =
        doc.fileKind() == kKindSvxVolume || (doc.fileKind() == kKindSvx4 && doc.subKind() == SubKind::Binary);
    if (mode == SaveMode::Save && inPlace) return doc.writeSvx4Files(slot);
    std::vector<const EventRecord*> records;
    std::vector<std::string> names;
    for (int i = 0; i < doc.recordCount(); ++i) {
        records.push_back(&doc.record(i));
        names.push_back(doc.fileName(i));
    }
    const bool dataSet =
        doc.fileKind() == kKindSvxVolume || doc.fileKind() == kKindMiniSeedSet || doc.fileKind() == kKindSeed;
    CSave dialog(dataSet ? SaveListMode::DataSet : SaveListMode::Full, preselectedSaveFormat(doc), records,
                 names, ctx_.settings, ctx_.ini, ctx_.messages, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    SaveChoice choice = dialog.choice();
    if (choice.format == kSaveGif) {
        // A picture is not a record: the window's records stay unsaved, only the question is shared.
        WriterOptions ask;
        ask.askOverwrite = choice.askOverwrite;
        if (choice.names.empty() || !askBeforeOverwrite(choice.names.front(), ask, ctx_.messages))
            return false;
        writeGif(&w, choice.names.front());
        return false;
    }
    choice.regionalTables = w.session().travelTimes().useTable == kRegional;
    choice.geography = &ctx_.geography;
    return writeRecords(doc, choice, slot, ctx_.messages);
}

void CMainFrame::xScale(EventWindow& w) {
    CXScale dialog(w.view()->model().spanSeconds(), timeLock_.on, eventWindows().size() > 1, this);
    if (dialog.exec() == QDialog::Accepted) setXScale(w, dialog.seconds(), dialog.lockAll());
}

void CMainFrame::yScale(EventWindow& w) {
    const std::vector<EventWindow*> windows = eventWindows();
    CYScale dialog(w.view()->model(), ctx_.settings, windows.size() > 1, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const YScaleChoice choice = dialog.choice();
    if (!applyYScaleToWindow(w.view()->model(), choice, true)) return;
    if (choice.allWindows)
        for (EventWindow* other : windows)
            if (other != &w && applyYScaleToWindow(other->view()->model(), choice, false)) other->refresh();
    storeYScaleChoice(ctx_.ini, ctx_.settings, choice);
}

bool CMainFrame::chooseColor(Cmd cmd) {
    const auto* e = std::find_if(std::begin(kColors), std::end(kColors),
                                 [cmd](const ColorEntry& c) { return c.cmd == cmd; });
    if (e == std::end(kColors)) return false;
    const views::Rgb old = ctx_.style.colors.*e->member;
    const QColor c = QColorDialog::getColor(QColor(old.r, old.g, old.b), this);
    if (!c.isValid()) return true;
    ctx_.style.colors.*e->member = {c.red(), c.green(), c.blue()};
    views::writeColor(ctx_.ini, e->key, ctx_.style.colors.*e->member);
    applyStyle();
    return true;
}

bool CMainFrame::chooseFont(Cmd cmd) {
    const auto* entry = std::find_if(std::begin(kFonts), std::end(kFonts),
                                     [cmd](const FontEntry& f) { return f.cmd == cmd; });
    if (entry == std::end(kFonts)) return false;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    for (;;) {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, views::makeFont(ctx_.style.*entry->member), this);
        if (!ok) return true;
        const views::FontSpec spec = views::fontSpecFromFont(chosen, ctx_.style.*entry->member, dpi);
        // The marker letter sits below the arrow inside the marker box.
        const int room = ctx_.settings.view.largeScreen ? 44 - 20 : 36 - 14;
        if (cmd == Cmd::FontMarkers && QFontMetrics(views::makeFont(spec)).height() > room) {
            ctx_.messages.error("You have selected a font type or size that is too large. Please select a "
                                "smaller font type or size.");
            continue;
        }
        ctx_.style.*entry->member = spec;
        views::writeFont(ctx_.ini, entry->section, spec);
        applyStyle();
        return true;
    }
}

void CMainFrame::applyStyle() {
    for (EventWindow* w : eventWindows())
        w->setStyle(ctx_.style);
}

bool CMainFrame::writeGif(EventWindow* window, const std::string& path) {
    if (!window) return false;
    if (path.empty()) {
        ctx_.messages.error("Error: No File Name");
        return false;
    }
    std::string message;
    if (!window->saveGif(path, ctx_.settings.gifWidth, ctx_.settings.gifHeight, message)) {
        ctx_.messages.error(format("Error Making GIF Image.\nError: %s", message.c_str()));
        window->refresh();
        return false;
    }
    logFormat("GIF image written: %s", path.c_str());
    window->refresh();
    return true;
}

bool CMainFrame::printWindow(EventWindow* window, bool dialog) {
    if (!window) return false;
    QPrinter printer(QPrinter::HighResolution);
    const bool havePrinter = !QPrinterInfo::availablePrinterNames().isEmpty();
    if (dialog) {
        QPrintDialog pd(&printer, this);
        if (pd.exec() != QDialog::Accepted) return false;
    } else if (!havePrinter || !ctx_.commandLine.target.empty()) {
        // No printer (or a name given after the file): the page goes to a PDF file.
        const std::string& event = window->records().record(0).fileName;
        std::string pdf = ctx_.commandLine.target;
        if (pdf.empty()) {
            pdf = pictureGifName(event, "");
            pdf = pdf.substr(0, pdf.size() - 4) + ".pdf";
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        logFormat("Printing to %s", pdf.c_str());
    }
    const bool ok = window->print(printer, ctx_.settings.print);
    window->refresh();
    return ok;
}

} // namespace tlx::app
