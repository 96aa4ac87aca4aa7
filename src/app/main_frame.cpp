#include "app/main_frame.h"

#include "app/channel_dialog.h"
#include "app/event_window.h"
#include "app/ew_picks_dialog.h"
#include "app/map_window.h"
#include "app/phase_times_window.h"
#include "app/pick_commands.h"
#include "app/spectrum_window.h"
#include "core/debug_log.h"
#include "core/text.h"
#include "record/file_kind.h"
#include "record/save_naming.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
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
    for (int i = 1; i < 5; ++i)
        statusBar()->addPermanentWidget(panes_[i]);
    statusBar()->setVisible(ctx_.settings.statusBar);
    createActions();
    tools_ = addToolBar("Tools");
    tools_->setObjectName("Tools");
    for (Cmd cmd : toolBarCommands())
        tools_->addAction(action(cmd));
    tools_->setVisible(ctx_.settings.toolBar);
    rebuildMenus();
    connect(&batchTimer_, &QTimer::timeout, this, &CMainFrame::batchTick);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) {
        if (auto* ew = w ? qobject_cast<EventWindow*>(w->widget()) : nullptr)
            showStatus(ew->view()->statusPanes());
        rebuildMenus();
        updateActions();
    });
}

CMainFrame::~CMainFrame() {
    // The windows close after the frame's own members are gone: nothing may call back into it.
    for (EventWindow* w : eventWindows())
        disconnect(w, nullptr, this, nullptr);
    disconnect(mdi_, nullptr, this, nullptr);
}

void CMainFrame::createActions() {
    for (int i = 0; i <= static_cast<int>(Cmd::About); ++i) {
        const Cmd cmd = static_cast<Cmd>(i);
        const CommandSpec& spec = commandSpec(cmd);
        auto* a = new QAction(QString::fromUtf8(spec.text), this);
        a->setCheckable(spec.checkable);
        if (*spec.key) a->setShortcut(QKeySequence(QString::fromUtf8(spec.key)));
        // Shortcuts work whichever menu set is shown.
        addAction(a);
        connect(a, &QAction::triggered, this, [this, cmd] { run(cmd); });
        actions_[cmd] = a;
    }
}

void CMainFrame::fillMenu(QMenu* menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case MenuItem::Separator:
            menu->addSeparator();
            break;
        case MenuItem::Submenu:
            fillMenu(menu->addMenu(QString::fromUtf8(item.title)), item.items);
            break;
        case MenuItem::Command:
            menu->addAction(action(item.cmd));
            break;
        }
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateActions);
}

void CMainFrame::rebuildMenus() {
    const int set = activeSpectrumWindow(mdi_) ? 2 : activeEventWindow() ? 1 : 0;
    if (set == menuSet_) return;
    menuSet_ = set;
    menuBar()->clear();
    for (const MenuItem& top : set == 2 ? spectrumWindowMenus()
                               : set    ? eventWindowMenus()
                                        : emptyFrameMenus())
        fillMenu(menuBar()->addMenu(QString::fromUtf8(top.title)), top.items);
    addRecentEntries(menuBar()->actions().front()->menu());
    updateActions();
}

void CMainFrame::updateActions() {
    EventWindow* w = activeEventWindow();
    SpectrumWindow* spectrum = activeSpectrumWindow(mdi_);
    std::optional<WindowContext> context;
    if (w && w->doc().recordCount() > 0) context.emplace(w->context());
    for (auto& [cmd, a] : actions_) {
        CommandState st =
            commandState(cmd, context ? &*context : nullptr, ctx_.settings, ctx_.seismo.magnitudeUnits);
        if (spectrum)
            if (std::optional<CommandState> own = spectrum->commandState(cmd)) st = *own;
        // The key column comes from the shortcut; the document's texts carry it after a tab.
        const std::string text = st.text.substr(0, st.text.find('\t'));
        a->setText(QString::fromStdString(text));
        a->setEnabled(st.enabled);
        if (a->isCheckable()) a->setChecked(st.checked);
    }
}

void CMainFrame::run(Cmd cmd) {
    if (SpectrumWindow* spectrum = activeSpectrumWindow(mdi_)) {
        if (!spectrum->run(cmd, mdi_) && commandSpec(cmd).scope == Scope::App) hostCommand(cmd, nullptr);
        rebuildMenus();
        updateActions();
        return;
    }
    EventWindow* w = activeEventWindow();
    if (w && w->doc().recordCount() > 0) {
        WindowContext context = w->context();
        ShellContext shell{ctx_.ini, ctx_.settings, ctx_.seismo.magnitudeUnits};
        const Outcome outcome = runWindowCommand(cmd, context, shell);
        if (outcome == Outcome::Host) hostCommand(cmd, w);
        // The window may have closed (Close, Remove of a record of a closing window).
        if (eventWindows().size() > 0 && activeEventWindow() == w) w->refresh();
    } else if (commandSpec(cmd).scope == Scope::App) {
        hostCommand(cmd, nullptr);
    }
    rebuildMenus();
    updateActions();
}

std::unique_ptr<QMenu> CMainFrame::contextMenu(EventWindow* window, QPoint at) {
    if (QMdiSubWindow* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget()))
        mdi_->setActiveSubWindow(sub);
    updateActions();
    // A magnitude marker chosen here goes where the click was.
    window->contextClick = views::Point{at.x(), at.y()};
    auto menu = std::make_unique<QMenu>();
    const bool onPickMarker = findChild<CEwPicksDlg*>(QString(), Qt::FindDirectChildrenOnly) &&
                              window->view()->model().markerAt(at.x(), at.y()) == views::kMarkerP;
    fillMenu(menu.get(), onPickMarker ? pickContextMenu() : eventContextMenu());
    return menu;
}

EventWindow* CMainFrame::activeEventWindow() const {
    QMdiSubWindow* sub = mdi_->activeSubWindow();
    if (!sub && !mdi_->subWindowList().isEmpty()) sub = mdi_->subWindowList().back();
    return sub ? qobject_cast<EventWindow*>(sub->widget()) : nullptr;
}

std::vector<EventWindow*> CMainFrame::eventWindows() const {
    std::vector<EventWindow*> out;
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (auto* w = qobject_cast<EventWindow*>(sub->widget())) out.push_back(w);
    return out;
}

EventWindow* CMainFrame::openFiles(const std::vector<std::string>& paths, LoadMode mode) {
    std::vector<std::string> existing;
    for (const std::string& p : paths) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(p, ec))
            existing.push_back(p);
        else if (mode == LoadMode::Interactive)
            ctx_.messages.error(format("Can't Open File %s", p.c_str()));
    }
    if (existing.empty()) return nullptr;
    return openRequest(OpenRequest{existing, kForceNone, {}}, mode);
}

EventWindow* CMainFrame::openRequest(const OpenRequest& request, LoadMode mode) {
    auto* window = new EventWindow(ctx_.settings, ctx_.style);
    if (!window->load(request, ctx_.seismo, *ctx_.loader, ctx_.messages, &ctx_.ini, mode)) {
        delete window;
        return nullptr;
    }
    applyDefaultYScale(window->view()->model(), ctx_.settings.yDefault);
    if (mode == LoadMode::Interactive) noteRecent(request.files);
    wireWindow(window);
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    sub->resize(std::max(400, mdi_->width() - 50), std::max(300, mdi_->height() - 50));
    sub->show();
    // A window opened while the time lock is on shows the locked span when its record holds it.
    if (timeLock_.on) window->view()->model().followTimeLock(timeLock_.leftMs, timeLock_.spanSeconds);
    window->refresh();
    window->view()->model().resetMarkers();
    window->refresh();
    window->view()->setFocus();
    rebuildMenus();
    updateActions();
    return window;
}

void CMainFrame::wireWindow(EventWindow* window) {
    window->doc().setSaveHook(
        [this, window](CEqDoc&, SaveMode mode, int slot) { return saveDocument(*window, mode, slot); });
    connect(window, &EventWindow::statusChanged, this, &CMainFrame::showStatus);
    connect(window, &QObject::destroyed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            rebuildMenus();
            updateActions();
            refreshLocationMap();
        });
    });
    window->view()->installEventFilter(this);
    window->view()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(window->view(), &QWidget::customContextMenuRequested, this, [this, window](const QPoint& at) {
        contextMenu(window, at)->exec(window->view()->mapToGlobal(at));
        window->contextClick.reset();
    });
    connect(window, &EventWindow::timeAxisChanged, this, [this, window] { followTimeLock(window); });
    connect(window->view(), &views::CEqView::readoutsChanged, this, [this, window] {
        if (phaseTimes_ && phaseTimes_->isVisible() && activeEventWindow() == window)
            phaseTimes_->showRows(phaseTimesOf(*window, ctx_));
    });
    connect(window->view(), &views::CEqView::readoutsChanged, this, &CMainFrame::refreshLocationMap);
    connect(window, &EventWindow::titleToggleRequested, this, [this, window] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) mdi_->setActiveSubWindow(sub);
        run(Cmd::Title);
    });
}

void CMainFrame::openCommandLineFiles(const std::vector<std::string>& names) {
    bool opened = false;
    for (const std::string& name : names) {
        std::error_code ec;
        if (std::filesystem::is_directory(name, ec)) {
            ctx_.settings.eventDirectory = name;
            LoaderSettings folders = ctx_.loader->settings();
            folders.eventDirectory = name;
            ctx_.loader->setSettings(folders);
            continue;
        }
        if (!std::filesystem::is_regular_file(name, ec)) {
            ctx_.messages.error(format("Can't Open File %s", name.c_str()));
            continue;
        }
        // A data set of several channels: the user chooses which to show together.
        const LoadResult header = ctx_.loader->readHeaderOnly(name);
        const bool dataSet = header.ok && (header.kind == kKindSeed || header.kind == kKindMiniSeedSet) &&
                             header.channels.size() > 1;
        if (dataSet) {
            std::vector<std::string> labels;
            for (const LoadedChannel& c : header.channels)
                labels.push_back(
                    format("%s %s", c.record.stationName().c_str(), c.record.component().c_str()));
            CChannelChoice choice(name, labels, this);
            if (choice.exec() != QDialog::Accepted || choice.chosen().empty()) continue;
            opened = openRequest(OpenRequest{{name}, kForceNone, choice.chosen()}) != nullptr || opened;
        } else {
            opened = openFiles({name}) != nullptr || opened;
        }
    }
    if (!opened) openDialog();
}

void CMainFrame::openHandedFiles(const std::vector<std::string>& paths) {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    for (const std::string& path : paths)
        logFormat("open command: %s %s", path.c_str(), openFiles({path}) ? "opened" : "failed");
}

void CMainFrame::setXScale(EventWindow& window, double seconds, bool lockAll) {
    views::EqViewModel& m = window.view()->model();
    m.setSpan(seconds);
    timeLock_.on = lockAll && eventWindows().size() > 1;
    window.refresh();
    followTimeLock(&window);
}

void CMainFrame::followTimeLock(EventWindow* source) {
    if (!timeLock_.on || followingLock_) return;
    followingLock_ = true;
    const views::EqViewModel& m = source->view()->model();
    timeLock_.leftMs = m.leftMs();
    timeLock_.spanSeconds = m.spanSeconds();
    for (EventWindow* w : eventWindows())
        if (w != source && w->view()->model().followTimeLock(timeLock_.leftMs, timeLock_.spanSeconds))
            w->refresh();
    followingLock_ = false;
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
    for (int i = 0; i < 5 && i < panes.size(); ++i)
        panes_[i]->setText(panes[i]);
}

void CMainFrame::placeWindow(const QRect& desk) {
    if (const auto& pos = ctx_.settings.framePos) {
        const QRect normal(QPoint((*pos)[4], (*pos)[5]), QPoint((*pos)[6] - 1, (*pos)[7] - 1));
        // A placement from another screen layout that would leave the window out of reach is ignored.
        if (normal.width() >= 200 && normal.height() >= 150 && desk.intersects(normal)) {
            setGeometry(normal);
            return;
        }
    }
    setGeometry(desk.adjusted(0, 0, 0, -desk.height() / 20));
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
        restorePicksForPicture(*batchWindow_);
        bool ok = false;
        if (cl.mode == RunMode::Print)
            ok = printWindow(batchWindow_, false);
        else
            ok =
                writeGif(batchWindow_, pictureGifName(batchWindow_->records().record(0).fileName, cl.target));
        if (!ok) ctx_.exitCode = 1;
    } else if (ticks_ > 10) {
        batchTimer_.stop();
        QApplication::quit();
    }
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    for (EventWindow* w : eventWindows())
        if (w->doc().queryClose() == CloseAnswer::KeepOpen) return e->ignore();
    ctx_.settings.statusBar = statusBar()->isVisible();
    ctx_.settings.toolBar = tools_->isVisible();
    if (!isMinimized() && !isMaximized()) {
        const QRect g = geometry();
        const QPoint p = pos();
        ctx_.settings.framePos =
            FramePos{p.x(), p.y(), 0, 0, g.left(), g.top(), g.right() + 1, g.bottom() + 1};
    }
    if (!ctx_.messages.suppressed()) writeExitSettings(ctx_.ini, ctx_.settings);
    e->accept();
}

} // namespace tlx::app
