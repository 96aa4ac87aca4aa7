#include "app/map_window.h"

#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/map_event_report.h"
#include "app/outside_programs.h"
#include "app/save_dialog.h"
#include "core/text.h"
#include "services/google_earth_file.h"
#include "views/scene_painter.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFontDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QVBoxLayout>

namespace tlx::app {
namespace {

using views::MapCmd;

// Colour commands and the number of their "MapColor%d" key.
int colorNumber(MapCmd cmd) {
    if (cmd >= MapCmd::Station1 && cmd <= MapCmd::Station8)
        return 1 + static_cast<int>(cmd) - static_cast<int>(MapCmd::Station1);
    if (cmd == MapCmd::EventColor) return 9;
    if (cmd == MapCmd::CityColor) return 10;
    return 0;
}

} // namespace

CMapWindow::CMapWindow(AppContext& context, WindowList windows, QWidget* parent)
    : QWidget(parent), ctx_(context), windows_(std::move(windows)),
      doc_(std::make_unique<views::CMapDoc>(context.ini, context.settings.view.largeScreen,
                                            views::mapDataDirectory())) {
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new views::CMapView(*doc_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    layout->addWidget(view_);
    for (int i = 0; i <= static_cast<int>(MapCmd::Close); ++i) {
        const MapCmd cmd = static_cast<MapCmd>(i);
        const views::MapCommandSpec& spec = views::mapCommandSpec(cmd);
        auto* a = new QAction(QString::fromUtf8(spec.text), this);
        a->setCheckable(spec.checkable);
        if (*spec.key) {
            a->setShortcut(QKeySequence(QString::fromUtf8(spec.key)));
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        addAction(a);
        connect(a, &QAction::triggered, this, [this, cmd] { run(cmd); });
        actions_[cmd] = a;
    }
    for (const views::MapMenuItem& top : views::mapMenus())
        fillMenu(bar->addMenu(QString::fromUtf8(top.title)), top.items);
    connect(view_, &views::CMapView::cursorMoved, this, &CMapWindow::showCursor);
    connect(view_, &views::CMapView::mapChanged, this, [this] { updateActions(); });
    connect(view_, &views::CMapView::contextMenuAt, this,
            [this](const std::optional<views::MapPosition>& at, QPoint point) {
                contextMenu(at)->exec(view_->mapToGlobal(point));
                clicked_.reset();
            });
    // The zoom starts at 10000 km, which the table snaps to the globe; then the fitting decides.
    doc_->setLevel(views::snapScaleLevel(10000));
    stationsChanged(true);
}

void CMapWindow::fillMenu(QMenu* menu, const std::vector<views::MapMenuItem>& items) {
    for (const views::MapMenuItem& item : items) {
        if (item.kind == views::MapMenuItem::Separator)
            menu->addSeparator();
        else if (item.kind == views::MapMenuItem::Submenu)
            fillMenu(menu->addMenu(QString::fromUtf8(item.title)), item.items);
        else
            menu->addAction(action(item.cmd));
    }
}

void CMapWindow::updateActions() {
    for (auto& [cmd, a] : actions_)
        if (a->isCheckable()) a->setChecked(doc_->checked(cmd));
    actions_[MapCmd::GoogleEarth]->setEnabled(clicked_.has_value());
    setWindowTitle(QString::fromStdString(views::mapTitle(doc_->scaleKm())));
    view_->refresh();
}

void CMapWindow::stationsChanged(bool fit) {
    std::vector<views::MapWindowInput> inputs;
    for (EventWindow* w : windows_()) {
        if (w->doc().recordCount() == 0) continue;
        const views::Readout r = w->session().readout();
        inputs.push_back({&w->records().record(0), r.found ? r.degrees : 0});
    }
    doc_->setContents(views::mapContents(inputs), fit);
    updateActions();
}

void CMapWindow::run(MapCmd cmd) {
    if (doc_->run(cmd, ctx_.ini, views::mapDataDirectory())) {
        updateActions();
        return;
    }
    if (colorNumber(cmd)) return chooseColor(cmd);
    switch (cmd) {
    case MapCmd::Redraw:
        stationsChanged(true);
        break;
    case MapCmd::DefaultColors:
        defaultColors();
        break;
    case MapCmd::FontText:
    case MapCmd::FontCities:
        chooseFont(cmd);
        break;
    case MapCmd::Save:
        saveImage();
        break;
    case MapCmd::Copy:
        QApplication::clipboard()->setImage(picture(view_->width(), view_->height()));
        break;
    case MapCmd::Print: {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() == QDialog::Accepted) print(printer);
        break;
    }
    case MapCmd::GoogleEarth:
        if (clicked_) googleEarth(*clicked_);
        break;
    case MapCmd::EventReport:
        mapEventReport(ctx_, windows_(), this);
        break;
    case MapCmd::MakeEventReport:
        makeMapEventReport(ctx_, windows_(), kept_, this);
        break;
    case MapCmd::Close:
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
            sub->close();
        else
            close();
        break;
    default:
        break;
    }
}

std::unique_ptr<QMenu> CMapWindow::contextMenu(const std::optional<views::MapPosition>& at) {
    clicked_ = kept_ = at;
    updateActions();
    auto menu = std::make_unique<QMenu>();
    fillMenu(menu.get(), views::mapContextMenu());
    return menu;
}

void CMapWindow::showCursor(const std::optional<views::MapPosition>& at) {
    if (!doc_->style().options.regionDisplay) return;
    const std::string region = at ? ctx_.geography.regionName(at->lat, at->lon) : std::string();
    Q_EMIT statusChanged({QString::fromStdString(std::string(trim(region)))});
}

void CMapWindow::chooseColor(MapCmd cmd) {
    const int n = colorNumber(cmd);
    views::Rgb& target = doc_->style().colors.byNumber(n);
    const QColor c = QColorDialog::getColor(views::mapColor(target), this);
    if (!c.isValid()) return;
    target = {c.red(), c.green(), c.blue()};
    views::writeMapColor(ctx_.ini, n, target);
    doc_->changed();
    updateActions();
}

void CMapWindow::defaultColors() {
    if (ctx_.messages.ask("Reset colors back to default values?", Buttons::YesNo) != Answer::Yes) return;
    doc_->style().colors = views::MapColors{};
    for (int n = 1; n <= 10; ++n)
        views::writeMapColor(ctx_.ini, n, doc_->style().colors.byNumber(n));
    doc_->changed();
    updateActions();
}

void CMapWindow::chooseFont(MapCmd cmd) {
    const bool cities = cmd == MapCmd::FontCities;
    views::FontSpec& spec = cities ? doc_->style().cityFont : doc_->style().panelFont;
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, views::makeFont(spec), this);
    if (!ok) return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    spec = views::fontSpecFromFont(chosen, spec, screen ? screen->logicalDotsPerInchY() : 96.0);
    views::writeFont(ctx_.ini, cities ? "CityFont" : "MapFont", spec);
    doc_->changed();
    updateActions();
}

void CMapWindow::saveImage() {
    const std::string name = views::mapImageName(ctx_.settings.eventDirectory, doc_->contents()).string();
    saveWindowPicture(this, ctx_.settings, ctx_.ini, ctx_.messages, name,
                      [this](int width, int height) { return picture(width, height); });
}

bool CMapWindow::print(QPrinter& printer) {
    QPainter p;
    if (!p.begin(&printer)) return false;
    const QRect page = p.viewport();
    const QImage image = picture(page.width() / 4, page.height() / 4);
    p.drawImage(page, image);
    return p.end();
}

std::filesystem::path CMapWindow::googleEarth(const views::MapPosition& at) {
    return showPointsInGoogleEarth(ctx_, {{"Tellurix", "", at.lat, at.lon}}, kKmlPointRange);
}

void CMainFrame::showLocationMap() {
    if (map_) {
        map_->stationsChanged(true);
        if (auto* sub = qobject_cast<QMdiSubWindow*>(map_->parentWidget())) mdi_->setActiveSubWindow(sub);
        return;
    }
    map_ = new CMapWindow(ctx_, [this] { return eventWindows(); });
    connect(map_, &CMapWindow::statusChanged, this, &CMainFrame::showStatus);
    QMdiSubWindow* sub = mdi_->addSubWindow(map_);
    // The main window's client area less 10 pixels and 20 more.
    sub->resize(std::max(400, mdi_->width() - 30), std::max(300, mdi_->height() - 30));
    // At the top left: the area's own placement avoids the event windows and would leave most
    // of the map outside the visible area.
    sub->move(0, 0);
    sub->show();
    map_->view()->setFocus();
}

void CMainFrame::refreshLocationMap() {
    if (map_) map_->stationsChanged(false);
}

} // namespace tlx::app
