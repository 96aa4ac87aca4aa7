// The location map window: View > Locate Event with an open event window, its fitting, the
// painted stations, event and coasts at their projected pixels, zoom keys, recentring, the cached
// picture under the cursor, following the markers, Save, and an event report made from a
// right-clicked point.
#include "app/map_window.h"
#include "app/report_dialog.h"
#include "app/save_dialog.h"
#include "core/file_io.h"
#include "core/text.h"
#include "program_fixture.h"
#include "seismo/geodesy.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

using views::MapCmd;

// Share of the pixels of a square (half-size r) around a point that have a colour.
double shareOf(const QImage& image, views::ScreenPoint at, int r, QColor colour) {
    int hits = 0, all = 0;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            const QPoint p(static_cast<int>(std::lround(at.x)) + dx,
                           static_cast<int>(std::lround(at.y)) + dy);
            if (!image.rect().contains(p)) continue;
            ++all;
            hits += image.pixelColor(p) == colour;
        }
    return all ? static_cast<double>(hits) / all : 0;
}

// Calls `act` once with the popup menu or modal dialog of type W that comes up next.
template <class W, class F> void whenShown(F act) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, act] {
        QWidget* top = QApplication::activePopupWidget();
        if (!top) top = QApplication::activeModalWidget();
        auto* w = dynamic_cast<W*>(top);
        if (!w && ++*ticks < 500) return;
        timer->stop();
        timer->deleteLater();
        if (w) act(w);
    });
    timer->start(10);
}

// A right click at a point of the map view, choosing a context-menu entry.
void rightClickAndChoose(views::CMapView* view, QPoint at, const QString& entry) {
    whenShown<QMenu>([entry](QMenu* menu) {
        for (QAction* a : menu->actions())
            if (a->text() == entry) menu->setActiveAction(a);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    // Through the window, as the platform delivers it: the press becomes the context-menu event.
    QTest::mouseClick(view->window()->windowHandle(), Qt::RightButton, {}, view->mapTo(view->window(), at));
}

struct MapProgram : Program {
    EventWindow* window = nullptr;
    CMapWindow* map = nullptr;
    MapProgram() {
        ctx.settings.eventDirectory = dir.path();
        const test::TimeSpec origin{2024, 3, 1, 11, 59, 40, 0};
        window = open({writeEvent("a.svx", "TEST", 1000, {test::eventBlock(origin, 45.5, -124.0, 10, 455)})});
        frame->run(Cmd::LocateEvent);
        map = frame->findChild<CMapWindow*>();
    }
    views::MapProjection projection(int width, int height) {
        return map->doc().projection(views::MapPainter(map->doc()).layout(width, height).map);
    }
};

TEST(GuiLocationMap, OpensOnTheEventWithTheStationAndDrawsThemWhereTheyProject) {
    MapProgram p;
    ASSERT_NE(p.map, nullptr);
    const views::CMapDoc& doc = p.map->doc();
    ASSERT_FALSE(doc.data().failed);
    ASSERT_EQ(doc.contents().stations.size(), 1u);
    const views::MapStation st = doc.contents().stations[0];
    EXPECT_EQ(st.name, "TEST");
    const views::Readout r = p.window->session().readout();
    ASSERT_TRUE(r.found);
    EXPECT_DOUBLE_EQ(st.spDegrees, r.degrees);
    // Centred on the event; five times the S-P distance, snapped up to the table.
    EXPECT_DOUBLE_EQ(doc.centreLat(), 45.5);
    EXPECT_EQ(doc.scaleKm(), views::kMapScales[views::snapScaleLevel(5 * r.km)]);
    EXPECT_EQ(p.map->windowTitle().toStdString(), views::mapTitle(doc.scaleKm()));

    // At 1000 km both show: the station about 220 km from the event.
    p.map->doc().setLevel(views::snapScaleLevel(1000));
    p.map->stationsChanged();
    const QImage image = p.map->picture(800, 600);
    const views::MapProjection proj = p.projection(800, 600);
    const views::ScreenPoint station = *proj.project(st.lat, st.lon), event = *proj.project(45.5, -124.0);
    EXPECT_GT(shareOf(image, {station.x, station.y + 2}, 2, QColor(0, 128, 0)), 0.7);
    EXPECT_GT(shareOf(image, event, 4, QColor(128, 0, 0)), 0.7);
    saveScreenshot(p.map->parentWidget(), "location_map.png");
    p.map->run(MapCmd::FullGlobe);
    saveScreenshot(p.map->parentWidget(), "location_map_globe.png");
    for (const auto& [lat, lon, km, name] : {std::tuple{48.0, 10.0, 2000.0, "location_map_europe_2000km.png"},
                                             {47.37, 8.54, 50.0, "location_map_local_50km.png"}}) {
        p.map->doc().setCentre(lat, lon);
        p.map->doc().setLevel(views::snapScaleLevel(km));
        p.map->stationsChanged();
        saveScreenshot(p.map->parentWidget(), name);
    }
}

TEST(GuiLocationMap, CoastsFallOnTheirProjectedPixelsAndNotOnOpenOcean) {
    MapProgram p;
    views::CMapDoc& doc = p.map->doc();
    doc.setContents({}, false);
    doc.setCentre(0, 0);
    doc.setLevel(0);
    const QImage image = p.map->picture(1200, 800);
    const views::MapProjection proj = p.projection(1200, 800);
    const QColor brown(128, 64, 0);
    std::string sample;
    ASSERT_TRUE(readTextFile(test::sourceDir() / "tests/views/data/gshhg_coast_sample.txt", sample));
    TextLines lines(sample, 200, '#');
    std::string_view line;
    int visible = 0, found = 0;
    while (lines.next(line)) {
        const std::vector<std::string> w = split(line, ' ');
        const auto at = proj.project(std::stod(w[1]), std::stod(w[0]));
        if (!at || !proj.area().contains(at->x, at->y)) continue;
        ++visible;
        found += shareOf(image, *at, 1, brown) > 0;
    }
    ASSERT_GT(visible, 20);
    EXPECT_GT(found, visible * 8 / 10);
    // Mid-Atlantic, South Atlantic and Indian Ocean: no coast within 4 pixels.
    for (const auto& [lat, lon] : {std::pair{10.0, -35.0}, {-30.0, -20.0}, {-30.0, 75.0}})
        EXPECT_EQ(shareOf(image, *proj.project(lat, lon), 4, brown), 0) << lat << " " << lon;
}

TEST(GuiLocationMap, KeysZoomDoubleClickRecentresAndTheCursorKeepsTheCachedPicture) {
    MapProgram p;
    views::CMapView* view = p.map->view();
    views::CMapDoc& doc = p.map->doc();
    doc.setLevel(1);
    p.map->run(MapCmd::FullGlobe);
    QApplication::processEvents();
    view->repaint();
    const int draws = view->mapDraws();
    const views::MapLayout layout = view->currentLayout();
    const QPoint inside(layout.map.left + layout.map.width / 2 + 40, layout.map.height / 2 - 30);
    for (int i = 0; i < 5; ++i) {
        const QPointF at(inside + QPoint(i, i));
        QMouseEvent move(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view, &move);
    }
    view->repaint();
    EXPECT_EQ(view->mapDraws(), draws);
    ASSERT_TRUE(view->cursor());
    // The region under the cursor is in the first status pane.
    const std::string region(trim(p.ctx.geography.regionName(view->cursor()->lat, view->cursor()->lon)));
    ASSERT_FALSE(region.empty());
    bool shown = false;
    for (QLabel* label : p.frame->statusBar()->findChildren<QLabel*>())
        shown = shown || label->text().toStdString() == region;
    EXPECT_TRUE(shown) << region;
    EXPECT_NEAR(view->cursor()->distanceKm,
                std::asin(std::hypot(44, -26) * doc.projection(layout.map).kmPerPixel() / 6371) * 6371, 1e-6);

    QTest::keyClick(view, Qt::Key_PageDown);
    EXPECT_EQ(doc.scaleKm(), 10000);
    EXPECT_EQ(p.map->windowTitle(), "Location Map - Y-Scale: 10000km");
    QTest::keyClick(view, Qt::Key_PageUp);
    QTest::keyClick(view, Qt::Key_PageUp); // at the globe: nothing
    EXPECT_EQ(doc.scaleKm(), 15000);

    const auto target = doc.projection(layout.map).inverse(inside.x(), inside.y());
    QTest::mouseDClick(view, Qt::LeftButton, {}, inside);
    EXPECT_NEAR(doc.centreLat(), target->lat, 1e-9);
    EXPECT_NEAR(doc.centreLon(), target->lon, 1e-9);
    view->repaint();
    EXPECT_GT(view->mapDraws(), draws);
}

TEST(GuiLocationMap, FollowsTheMarkersAndSavesTheImageUnderItsProposedName) {
    MapProgram p;
    const double before = p.map->doc().contents().stations[0].spDegrees;
    QTest::keyClick(p.window->view(), Qt::Key_S);
    QTest::keyClick(p.window->view(), Qt::Key_Right, Qt::ControlModifier);
    const double after = p.window->session().readout().degrees;
    ASSERT_NE(after, before);
    EXPECT_DOUBLE_EQ(p.map->doc().contents().stations[0].spDegrees, after);

    // The record starts 2024-03-01 12:00:05: "240301_map.gif" in the event folder.
    std::string proposed;
    QTimer::singleShot(0, [&] {
        auto* dialog = dynamic_cast<CSave*>(QApplication::activeModalWidget());
        if (!dialog) return;
        proposed = dialog->names().front();
        dialog->accept();
    });
    p.map->run(MapCmd::Save);
    EXPECT_EQ(proposed, (p.dir / "240301_map.gif").string());
    const QImage gif(QString::fromStdString(proposed));
    ASSERT_FALSE(gif.isNull());
    EXPECT_EQ(gif.size(), QSize(p.ctx.settings.gifWidth, p.ctx.settings.gifHeight));
    // Copy takes the window's picture; Print draws it on the page (a PDF here).
    p.map->run(MapCmd::Copy);
    EXPECT_EQ(QApplication::clipboard()->image().size(), p.map->view()->size());
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString((p.dir / "map.pdf").string()));
    ASSERT_TRUE(p.map->print(printer));
    EXPECT_GT(std::filesystem::file_size(p.dir / "map.pdf"), 10000u);

    // Closed, the map no longer follows the markers; Locate Event makes a new one.
    p.map->run(MapCmd::Close);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(p.frame->findChildren<CMapWindow*>().isEmpty());
    QTest::keyClick(p.window->view(), Qt::Key_Right, Qt::ControlModifier);
    p.frame->run(Cmd::LocateEvent);
    EXPECT_EQ(p.frame->findChildren<CMapWindow*>().size(), 1);
}

TEST(GuiLocationMap, MakeEventReportTakesTheRightClickedPointIntoTheReportAndTheMap) {
    MapProgram p;
    views::CMapView* view = p.map->view();
    views::CMapDoc& doc = p.map->doc();
    // The map opens inside the visible area, beside the event window.
    auto* sub = qobject_cast<QMdiSubWindow*>(p.map->parentWidget());
    EXPECT_TRUE(sub->parentWidget()->rect().contains(sub->geometry()));
    doc.setLevel(views::snapScaleLevel(1000));
    p.map->stationsChanged();
    const views::MapLayout layout = view->currentLayout();
    const views::MapProjection proj = doc.projection(layout.map);
    const views::ScreenPoint target = *proj.project(44.8, -122.9);
    const QPoint at(static_cast<int>(std::lround(target.x)), static_cast<int>(std::lround(target.y)));
    const views::Readout readout = p.window->session().readout();
    ASSERT_TRUE(readout.found);

    ReportRow made;
    QString distance;
    whenShown<CReport>([&](CReport* d) {
        ASSERT_TRUE(p.ctx.reports.selectedRow());
        made = *p.ctx.reports.selectedRow();
        auto* rows = d->findChild<QTreeWidget*>("reportRows");
        EXPECT_EQ(rows->currentItem()->text(1).toStdString(), reportLatitudeText(made.latitude));
        distance = d->findChild<QLabel*>("distance")->text();
        saveScreenshot(d, "map_made_event_report.png");
        whenShown<QMessageBox>(
            [](QMessageBox* ask) { QTest::mouseClick(buttonOf(ask, "&Replace"), Qt::LeftButton); });
        QTest::mouseClick(d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    rightClickAndChoose(view, at, "&Make Event Report");
    QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget() && !QApplication::activePopupWidget(), 5000);

    // Within a pixel of the point clicked, at the markers' origin time (tenths), with its distance.
    GreatCircle gc;
    ASSERT_TRUE(greatCircle(made.latitude, made.longitude, 44.8, -122.9, gc));
    EXPECT_LT(gc.km, proj.kmPerPixel());
    EXPECT_EQ(reportTimeText(made).substr(0, 8), "03/01/24");
    const std::int64_t madeMs =
        ((made.hour * 60 + made.minute) * 60 + made.second) * 1000 + made.tenths * 100;
    EXPECT_LE(std::abs(madeMs - readout.originMs), 50);
    EXPECT_EQ(made.depth, readout.depthKm);
    EXPECT_FALSE(distance.isEmpty());

    // Stored in the window's records; the map shows the new event in place of the old one.
    const EventRecord& r = p.window->doc().record(0);
    ASSERT_EQ(r.info.events.size(), 1u);
    EXPECT_EQ(double{r.info.events[0].latitude}, made.latitude);
    ASSERT_TRUE(doc.contents().event);
    EXPECT_EQ(doc.contents().event->lat, made.latitude);
    EXPECT_EQ(doc.contents().event->lon, made.longitude);
    const QImage image = p.map->picture(view->width(), view->height());
    EXPECT_GT(shareOf(image, target, 4, QColor(128, 0, 0)), 0.7);
    EXPECT_LT(shareOf(image, *proj.project(45.5, -124.0), 4, QColor(128, 0, 0)), 0.2);
    saveScreenshot(p.map->parentWidget(), "location_map_made_report.png");

    // File > Event Report: the same list, for the map's event window (its distance line).
    QString again;
    whenShown<CReport>([&](CReport* d) {
        again = d->findChild<QLabel*>("distance")->text();
        d->reject();
    });
    p.map->run(MapCmd::EventReport);
    EXPECT_EQ(again, distance);

    // Off the globe the kept click is no position.
    p.ctx.messages.setSuppressed(false);
    QString said;
    doc.setLevel(0);
    p.map->stationsChanged();
    whenShown<QMessageBox>([&](QMessageBox* box) {
        said = box->text();
        box->accept();
    });
    rightClickAndChoose(view, QPoint(layout.map.left + 3, layout.map.top + 3), "&Make Event Report");
    QTRY_COMPARE_WITH_TIMEOUT(said, QString("Mouse Location Error"), 5000);
    EXPECT_EQ(r.info.events.size(), 1u);
}

} // namespace
} // namespace tlx::app
