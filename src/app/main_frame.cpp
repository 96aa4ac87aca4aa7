#include "app/main_frame.h"

#include "app/event_window.h"
#include "app/save_dialog.h"
#include "app/yscale_dialog.h"
#include "core/debug_log.h"
#include "core/text.h"
#include "record/svx4_writer.h"
#include "services/save_naming.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStatusBar>
#include <QToolBar>

#include <filesystem>

namespace tlx::app {

CMainFrame::CMainFrame(AppContext& context) : ctx_(context) {
    setWindowTitle("Tellurix");
    mdi_ = new QMdiArea;
    setCentralWidget(mdi_);
    for (QLabel*& pane : panes_) {
        pane = new QLabel;
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    statusBar()->addWidget(panes_[0], 1);
    for (int i = 1; i < 5; ++i) statusBar()->addPermanentWidget(panes_[i]);
    statusBar()->setVisible(ctx_.settings.statusBar);
    buildMenus();
    connect(&batchTimer_, &QTimer::timeout, this, &CMainFrame::batchTick);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (auto* ew = w ? qobject_cast<EventWindow*>(w->widget()) : nullptr) showStatus(ew->view()->statusPanes());
    });
}

void CMainFrame::buildMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    QToolBar* tools = addToolBar("Tools");
    tools->setVisible(ctx_.settings.toolBar);
    QAction* open = file->addAction("&Open...", QKeySequence("Ctrl+O"), this, &CMainFrame::openDialog);
    tools->addAction(open);
    file->addAction("Save &As...", QKeySequence("Alt+Ctrl+S"), this, &CMainFrame::saveAs);
    file->addAction("&GIF Settings...", this, [this] { CGifCntl(ctx_.settings, ctx_.ini, this).exec(); });
    QAction* print = file->addAction("&Print...", QKeySequence("Ctrl+P"), this, [this] { printWindow(activeEventWindow(), true); });
    tools->addAction(print);
    file->addAction("Print Se&ttings...", this, [this] { CPrintSettings(ctx_.settings, ctx_.ini, this).exec(); });
    file->addAction("&Close", this, [this] { mdi_->closeActiveSubWindow(); });
    file->addAction("Close A&ll", this, [this] { mdi_->closeAllSubWindows(); });
    file->addSeparator();
    file->addAction("E&xit", this, &QWidget::close);

    QMenu* calc = menuBar()->addMenu("&Calculate");
    calc->addAction("&Distance/Magnitude", QKeySequence("Ctrl+D"), this, [this] {
        withView([](EventWindow& w) {
            views::EqViewModel& m = w.view()->model();
            m.options().distance = !m.options().distance;
            m.resetMarkers();
        });
    });
    QAction* lock = calc->addAction("&Lock P-S Markers");
    lock->setCheckable(true);
    connect(lock, &QAction::toggled, this, [this](bool on) { withView([on](EventWindow& w) { w.view()->model().setLocked(on); }); });
    calc->addAction("&Reset P-S Markers", this, [this] { withView([](EventWindow& w) { w.view()->model().resetMarkers(); }); });
    calc->addAction("P-S &Location", QKeySequence("Ctrl+L"), this, [this] {
        withView([this](EventWindow& w) {
            views::placeMarkersFromEvent(w.view()->model(), ctx_.seismo, w.travelTimes.get(), ctx_.messages, false);
        });
    });
    QMenu* mag = calc->addMenu("&Magnitude");
    const std::pair<const char*, int> modes[] = {{"Ml && Ms Marker", views::kMagMlMs}, {"Mb Marker", views::kMagMb}, {"Md Marker", views::kMagMd}};
    for (const auto& [text, mode] : modes)
        mag->addAction(text, this, [this, mode = mode] { withView([mode](EventWindow& w) { w.view()->model().setMagMode(mode); }); });

    QMenu* view = menuBar()->addMenu("&View");
    QMenu* copy = view->addMenu("&Copy");
    const std::pair<const char*, int> copies[] = {{"&Both", 0}, {"&Seismogram", 1}, {"&Text", 2}};
    for (const auto& [text, which] : copies)
        copy->addAction(text, this, [this, which = which] {
            if (EventWindow* w = activeEventWindow()) QApplication::clipboard()->setImage(w->copyImage(which));
        });
    view->addAction("&Reset", this, [this] {
        withView([this](EventWindow& w) {
            views::EqViewModel& m = w.view()->model();
            const views::ViewOptions stored = ctx_.settings.view;
            m.reset();
            m.options().xGrid = stored.xGrid;
            m.options().yGrid = stored.yGrid;
            m.options().timeFormat = stored.timeFormat;
            m.options().distance = stored.distance;
        });
    });
    QAction* points = view->addAction("&Data Points");
    points->setCheckable(true);
    connect(points, &QAction::toggled, this, [this](bool on) { withView([on](EventWindow& w) { w.view()->model().options().dataPoints = on; }); });
    view->addAction("&Invert Data", this, [this] {
        withView([](EventWindow& w) {
            w.doc().invert();
        });
    });
    view->addAction("&Integrate Data", this, [this] { withView([](EventWindow& w) { w.doc().integrate(); }); });
    view->addAction("&Undo Integrate", this, [this] { withView([](EventWindow& w) { w.doc().undoIntegrate(); }); });
    view->addAction("Undo &Filtering", this, [this] { withView([](EventWindow& w) { w.doc().undoFiltering(); }); });
    for (int r = 0; r < 3; ++r)
        view->addAction(QString("Display Record &%1").arg(r + 1), QKeySequence(QString("Ctrl+%1").arg(r + 1)), this,
                        [this, r] { withView([r](EventWindow& w) { w.doc().displayRecord(r); }); });
    view->addAction("Display &All Files", this, [this] { withView([](EventWindow& w) { w.doc().displayAll(); }); });
    for (int r = 0; r < 3; ++r)
        view->addAction(QString("Select Record &%1").arg(r + 1), QKeySequence(QString::number(r + 1)), this,
                        [this, r] { withView([r](EventWindow& w) { w.doc().selectRecord(r); }); });
    QMenu* ymode = view->addMenu("&Y-Scale Display");
    const std::tuple<const char*, int, const char*> ymodes[] = {{"A/D &Counts", views::kModeCounts, "C"},
                                                               {"&Volts - A/D Input", views::kModeVoltsAd, "V"},
                                                               {"Volts - &Amp Input", views::kModeVoltsAmp, "A"},
                                                               {"Sensor &Units", views::kModeSensor, "U"}};
    for (const auto& [text, mode, key] : ymodes)
        ymode->addAction(text, QKeySequence(key), this, [this, mode = mode] { withView([mode](EventWindow& w) { w.view()->model().setMode(mode, false); }); });

    QMenu* xscale = menuBar()->addMenu("&X-Scale");
    xscale->addAction("&X-Scale...", this, [this] {
        EventWindow* w = activeEventWindow();
        if (!w) return;
        bool ok = false;
        const double v = QInputDialog::getDouble(this, "X-Scale", "Seconds:", w->view()->model().spanSeconds(), -1e9, 1e9, 1, &ok);
        if (ok) withView([v](EventWindow& ew) { ew.view()->model().setSpan(v); });
    });

    QMenu* yscale = menuBar()->addMenu("&Y-Scale");
    yscale->addAction("&Y-Scale...", this, [this] {
        EventWindow* w = activeEventWindow();
        if (!w) return;
        CYScale dialog(w->view()->model(), ctx_.ini, this);
        if (dialog.exec() == QDialog::Accepted) w->refresh();
    });

    QMenu* options = menuBar()->addMenu("&Options");
    QMenu* colors = options->addMenu("&Colors");
    const std::tuple<const char*, const char*, views::Rgb views::ViewColors::*> colorEntries[] = {
        {"Seismogram &Background", "BackGround", &views::ViewColors::background},
        {"&Print Background", "PrintBackGround", &views::ViewColors::printBackground},
        {"&Graph", "Graph", &views::ViewColors::graph},
        {"P-S &Markers", "PSMarkers", &views::ViewColors::markers},
        {"&X-Grid", "XGrid", &views::ViewColors::xGrid},
        {"&Y-Grid", "YGrid", &views::ViewColors::yGrid},
        {"Text Window B&ackground", "TextBkgnd", &views::ViewColors::textBackground},
        {"Text Window &Data", "Text", &views::ViewColors::text},
        {"Text Window &Labels", "Label", &views::ViewColors::label}};
    for (const auto& [text, key, member] : colorEntries)
        colors->addAction(text, this, [this, key = key, member = member] { chooseColor(key, member); });
    QMenu* fonts = options->addMenu("&Fonts");
    fonts->addAction("&Markers Font", this, [this] { chooseFont("MarkFont", &views::ViewStyle::markFont, true); });
    fonts->addAction("&Seismogram Window", this, [this] { chooseFont("Font", &views::ViewStyle::font, false); });
    fonts->addAction("&Text Window", this, [this] { chooseFont("TextFont", &views::ViewStyle::textFont, false); });
    options->addAction("&Distance", this, [this] { setOption("Distance", &views::ViewOptions::distance); });
    options->addAction("&UTC Time", this, [this] { setOption("TimeFormat", &views::ViewOptions::timeFormat); });
    options->addAction("&X-Grid", this, [this] { setOption("XGrid", &views::ViewOptions::xGrid); });
    options->addAction("&Y-Grid", this, [this] { setOption("YGrid", &views::ViewOptions::yGrid); });

    QMenu* window = menuBar()->addMenu("&Window");
    window->addAction("&Arrange", mdi_, &QMdiArea::tileSubWindows);
    window->addAction("&Cascade", mdi_, &QMdiArea::cascadeSubWindows);
    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction("&About", this, [this] { QMessageBox::about(this, "About Tellurix", "Tellurix 0.1 - seismic event viewer"); });
}

void CMainFrame::withView(const std::function<void(EventWindow&)>& action) {
    if (EventWindow* w = activeEventWindow()) {
        action(*w);
        w->refresh();
    }
}

void CMainFrame::setOption(const char* key, bool views::ViewOptions::*member) {
    ctx_.settings.view.*member = !(ctx_.settings.view.*member);
    ctx_.ini.setInt("Settings", key, ctx_.settings.view.*member ? 1 : 0);
    withView([&](EventWindow& w) {
        w.view()->model().options().*member = ctx_.settings.view.*member;
        if (member == &views::ViewOptions::distance) w.view()->model().resetMarkers();
    });
}

void CMainFrame::chooseColor(const char* key, views::Rgb views::ViewColors::*member) {
    const views::Rgb old = ctx_.style.colors.*member;
    const QColor c = QColorDialog::getColor(QColor(old.r, old.g, old.b), this);
    if (!c.isValid()) return;
    ctx_.style.colors.*member = {c.red(), c.green(), c.blue()};
    views::writeColor(ctx_.ini, key, ctx_.style.colors.*member);
    applyStyle();
}

void CMainFrame::chooseFont(const char* section, views::FontSpec views::ViewStyle::*member, bool markers) {
    for (;;) {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, views::makeFont(ctx_.style.*member), this);
        if (!ok) return;
        views::FontSpec spec = ctx_.style.*member;
        spec.faceName = chosen.family().toStdString();
        spec.height = -(chosen.pixelSize() > 0 ? chosen.pixelSize() : QFontMetrics(chosen).height());
        spec.weight = chosen.bold() ? 700 : 400;
        spec.italic = chosen.italic();
        spec.underline = chosen.underline();
        // The marker letter sits below the arrow inside the marker box.
        const int room = ctx_.settings.view.largeScreen ? 44 - 20 : 36 - 14;
        if (markers && QFontMetrics(views::makeFont(spec)).height() > room) {
            ctx_.messages.error("You have selected a font type or size that is too large. Please select a smaller font type or size.");
            continue;
        }
        ctx_.style.*member = spec;
        views::writeFont(ctx_.ini, section, spec);
        applyStyle();
        return;
    }
}

void CMainFrame::applyStyle() {
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (auto* w = qobject_cast<EventWindow*>(sub->widget())) w->setStyle(ctx_.style);
}

EventWindow* CMainFrame::activeEventWindow() const {
    QMdiSubWindow* sub = mdi_->activeSubWindow();
    if (!sub && !mdi_->subWindowList().isEmpty()) sub = mdi_->subWindowList().back();
    return sub ? qobject_cast<EventWindow*>(sub->widget()) : nullptr;
}

EventWindow* CMainFrame::openFiles(const std::vector<std::string>& paths, LoadMode mode) {
    std::vector<std::string> existing;
    for (const std::string& p : paths) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(p, ec)) existing.push_back(p);
        else if (mode == LoadMode::Interactive) ctx_.messages.error(format("Can't Open File %s", p.c_str()));
    }
    if (existing.empty()) return nullptr;
    auto* window = new EventWindow(ctx_.settings, ctx_.style);
    window->travelTimes = views::attachReadouts(window->view()->model(), ctx_.seismo);
    if (!window->load(existing, *ctx_.loader, ctx_.messages, &ctx_.ini, mode)) {
        delete window;
        return nullptr;
    }
    // Records without a magnitude correction take the station's from the correction files.
    CEqDoc& doc = window->doc();
    for (int i = 0; i < doc.recordCount(); ++i) {
        EventRecord& record = doc.editRecord(i);
        if (record.header.magCorrection == 0)
            record.header.magCorrection = ctx_.seismo.magnitudeCorrectionFor(record, doc.fileKind());
    }
    connect(window, &EventWindow::statusChanged, this, &CMainFrame::showStatus);
    window->view()->installEventFilter(this);
    window->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(window->view(), &QWidget::customContextMenuRequested, this, [this, window](const QPoint& at) {
        QMenu menu;
        menu.addAction("Save As...", this, &CMainFrame::saveAs);
        menu.addAction("Print...", this, [this, window] { printWindow(window, true); });
        menu.addSeparator();
        menu.addAction("Distance/Magnitude", this, [window] {
            views::EqViewModel& m = window->view()->model();
            m.options().distance = !m.options().distance;
            m.resetMarkers();
            window->refresh();
        });
        menu.addAction("P-S Location", this, [this, window] {
            views::placeMarkersFromEvent(window->view()->model(), ctx_.seismo, window->travelTimes.get(), ctx_.messages, false);
            window->refresh();
        });
        QMenu* mag = menu.addMenu("Magnitude");
        const std::pair<const char*, int> modes[] = {{"Ml && Ms Marker", views::kMagMlMs}, {"Mb Marker", views::kMagMb}, {"Md Marker", views::kMagMd}};
        for (const auto& [text, mode] : modes)
            mag->addAction(text, this, [window, mode = mode, at] {
                // From the context menu the marker goes where the click was.
                window->view()->model().setMagMode(mode, views::Point{at.x(), at.y()});
                window->refresh();
            });
        menu.addSeparator();
        menu.addAction("Integrate", this, [window] { window->doc().integrate(); });
        menu.addAction("Undo Integrate", this, [window] { window->doc().undoIntegrate(); });
        menu.exec(window->view()->mapToGlobal(at));
    });
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    sub->resize(std::max(400, mdi_->width() - 50), std::max(300, mdi_->height() - 50));
    sub->show();
    window->refresh();
    window->view()->model().resetMarkers();
    // A picture shows where the file's event puts the arrivals, when it carries one.
    if (mode == LoadMode::Picture)
        views::placeMarkersFromEvent(window->view()->model(), ctx_.seismo, window->travelTimes.get(), ctx_.messages, true);
    window->refresh();
    window->view()->setFocus();
    return window;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && firstPaint_) {
        auto callback = std::move(firstPaint_);
        firstPaint_ = nullptr;
        QTimer::singleShot(0, this, callback);
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::showStatus(const QStringList& panes) {
    for (int i = 0; i < 5 && i < panes.size(); ++i) panes_[i]->setText(panes[i]);
}

void CMainFrame::openDialog() {
    const QStringList files = QFileDialog::getOpenFileNames(this, "Open", QString::fromStdString(ctx_.settings.eventDirectory.string()),
                                                            "Event Files (*.svx *.SVX *.sac *.SAC *.txt *.gse *.msd *.seed);;All Files (*)");
    std::vector<std::string> paths;
    for (int i = 0; i < files.size() && i < 3; ++i) paths.push_back(files[i].toStdString());
    if (!paths.empty() && !openFiles(paths)) ctx_.messages.error("No event file could be read");
}

void CMainFrame::saveAs() {
    EventWindow* w = activeEventWindow();
    if (!w) return;
    std::vector<const EventRecord*> records;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < w->records().size(); ++i) {
        records.push_back(&w->records().record(i));
        names.push_back(w->records().record(i).fileName);
    }
    CSave dialog(SaveListMode::Full, kSaveSvx4, records, names, ctx_.settings, ctx_.ini, ctx_.messages, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::vector<std::string> chosen = dialog.names();
    auto confirmOverwrite = [this](const std::string& path) {
        std::error_code ec;
        return !ctx_.settings.overWriteMessage || !std::filesystem::exists(path, ec) ||
               ctx_.messages.ask(format("%s exists. Overwrite it?", path.c_str()), Buttons::YesNo) == Answer::Yes;
    };
    if (dialog.format() == kSaveGif) {
        if (!chosen.empty() && confirmOverwrite(chosen[0])) writeGif(w, chosen[0]);
        return;
    }
    if (dialog.format() != kSaveSvx4) {
        ctx_.messages.information("This save format is not available yet; choose SVX Type 4 or GIF Image.");
        return;
    }
    for (std::size_t i = 0; i < chosen.size() && i < w->records().size(); ++i) {
        if (!confirmOverwrite(chosen[i])) continue;
        WriterOptions options;
        const WriteChannel channel{&w->records().record(i), w->records().samples(i), w->doc().slot(static_cast<int>(i)).manualDcOffset};
        if (!writeSvx4File(chosen[i], channel, options, ctx_.messages)) return;
    }
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

void CMainFrame::startBatch() {
    ticks_ = 0;
    batchTimer_.start(500);
}

void CMainFrame::batchTick() {
    ++ticks_;
    const CommandLine& cl = ctx_.commandLine;
    if (ticks_ == 2) {
        const LoadMode mode = cl.mode == RunMode::Print ? LoadMode::Print : LoadMode::Picture;
        batchWindow_ = cl.files.empty() ? nullptr : openFiles(cl.files, mode);
        if (!batchWindow_) {
            batchTimer_.stop();
            ctx_.exitCode = 1;
            QApplication::quit();
        }
    } else if (ticks_ == 5 && batchWindow_) {
        bool ok = false;
        if (cl.mode == RunMode::Print) ok = printWindow(batchWindow_, false);
        else ok = writeGif(batchWindow_, pictureGifName(batchWindow_->records().record(0).fileName, cl.target));
        if (!ok) ctx_.exitCode = 1;
    } else if (ticks_ > 10) {
        batchTimer_.stop();
        QApplication::quit();
    }
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    ctx_.ini.setInt("Settings", "StatusBar", statusBar()->isVisible() ? 1 : 0);
    ctx_.ini.setString("Settings", "Directory", ctx_.settings.eventDirectory.string());
    e->accept();
}

} // namespace tlx::app
