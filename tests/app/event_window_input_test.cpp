// The event window driven as a user drives it: keys, mouse, menus and the context menu, in an
// offscreen program with its tables, checked against what the document and view model hold.
#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/save_dialog.h"
#include "program_fixture.h"
#include "record/loader.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"
#include "views/scene_painter.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace tlx::app {
namespace {

QPoint markerCentre(EventWindow* w, int i) {
    const views::Marker& m = modelOf(w).marker(i);
    return {m.x + modelOf(w).boxWidth() / 2, m.y + modelOf(w).boxHeight() / 2};
}

std::vector<std::string> menuTitles(QMenuBar* bar) {
    std::vector<std::string> out;
    for (QAction* a : bar->actions())
        out.push_back(a->text().toStdString());
    return out;
}

QAction* findAction(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->text() == text) return a;
        if (a->menu())
            if (QAction* inner = findAction(a->menu(), text)) return inner;
    }
    return nullptr;
}

TEST(EventWindowInput, KeysMoveMarkersZoomAndScroll) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    views::CEqView* view = w->view();
    views::EqViewModel& m = modelOf(w);
    ASSERT_TRUE(m.options().distance);

    QTest::keyClick(view, Qt::Key_PageUp);
    EXPECT_EQ(m.zoomIndex(), -1);
    QTest::keyClick(view, Qt::Key_PageDown);
    QTest::keyClick(view, Qt::Key_PageDown);
    EXPECT_EQ(m.zoomIndex(), 1);

    // S chooses the S marker; the arrows move it (Ctrl: 20 pixels), and its time follows.
    QTest::keyClick(view, Qt::Key_S);
    EXPECT_EQ(m.activeMarker(), views::kMarkerS);
    const int x0 = m.marker(views::kMarkerS).x;
    const auto t0 = m.marker(views::kMarkerS).timeMs;
    QTest::keyClick(view, Qt::Key_Right);
    QTest::keyClick(view, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(m.marker(views::kMarkerS).x, x0 + 21);
    EXPECT_GT(m.marker(views::kMarkerS).timeMs, t0);
    EXPECT_EQ(m.marker(views::kMarkerP).x, modelOf(w).graph().left + 20);

    // With the distance display off (Ctrl+D) the arrows scroll and zoom instead.
    QTest::keyClick(p.frame.get(), Qt::Key_D, Qt::ControlModifier);
    ASSERT_FALSE(m.options().distance);
    m.setSpan(10);
    w->refresh();
    const auto left = m.leftMs();
    QTest::keyClick(view, Qt::Key_Right);
    EXPECT_EQ(m.leftMs(), left + 1000);
    QTest::keyClick(view, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(m.zoomIndex(), 1 - 4);
}

TEST(EventWindowInput, MarkerDragAndRubberBandZoom) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    views::CEqView* view = w->view();
    views::EqViewModel& m = modelOf(w);

    // Dragging P to the right moves its time; dropping it on the S box is refused.
    const QPoint start = markerCentre(w, views::kMarkerP);
    const auto before = m.marker(views::kMarkerP).timeMs;
    QTest::mousePress(view, Qt::LeftButton, {}, start);
    QTest::mouseMove(view, start + QPoint(30, 0));
    QTest::mouseRelease(view, Qt::LeftButton, {}, start + QPoint(30, 0));
    EXPECT_EQ(m.marker(views::kMarkerP).x, start.x() + 30 - m.boxWidth() / 2);
    EXPECT_GT(m.marker(views::kMarkerP).timeMs, before);
    const int placed = m.marker(views::kMarkerP).x;
    const QPoint onS = markerCentre(w, views::kMarkerS);
    QTest::mousePress(view, Qt::LeftButton, {}, markerCentre(w, views::kMarkerP));
    QTest::mouseMove(view, onS);
    QTest::mouseRelease(view, Qt::LeftButton, {}, onS);
    EXPECT_EQ(m.marker(views::kMarkerP).x, placed);

    // Double-click and drag over a third of the graph: the span becomes that third, whole seconds.
    const views::Rect g = m.graph();
    const int y = (g.top + g.bottom) / 2 + 60;
    const int x1 = g.left + g.width() / 3, x2 = g.left + 2 * g.width() / 3;
    const double span = m.spanSeconds();
    QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(x1, y));
    QTest::mouseMove(view, QPoint(x2, y));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(x2, y));
    EXPECT_NEAR(m.spanSeconds(), std::round(span / 3), 1.0);
    EXPECT_LT(m.spanSeconds(), span);
}

TEST(EventWindowInput, ContextMenuPlacesTheMagnitudeMarkerAtTheClick) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    views::EqViewModel& m = modelOf(w);
    const QPoint click(m.graph().left + 300, m.graph().top + 80);
    auto menu = p.frame->contextMenu(w, click);
    for (const char* entry :
         {"&Save File", "Save &As...", "&Print...", "C&rop", "&Integrate Data", "P-S &Location"})
        EXPECT_NE(findAction(menu.get(), entry), nullptr) << entry;
    QAction* ml = findAction(menu.get(), "&Ml && Ms Marker");
    ASSERT_NE(ml, nullptr);
    w->contextClick = views::Point{click.x(), click.y()};
    ml->trigger();
    w->contextClick.reset();
    EXPECT_EQ(m.magMode(), views::kMagMlMs);
    EXPECT_TRUE(m.marker(views::kMarkerMag).placed());
    EXPECT_LE(std::abs(m.marker(views::kMarkerMag).x + m.boxWidth() / 2 - click.x()), m.boxWidth());
    // The menu entry shows the window's state.
    p.frame->contextMenu(w, click);
    EXPECT_TRUE(ml->isChecked());
}

TEST(EventWindowInput, MenusFollowTheActiveWindowAndItsDocument) {
    Program p;
    EXPECT_EQ(menuTitles(p.frame->menuBar()), (std::vector<std::string>{"&File", "&View", "&Help"}));
    EventWindow* a = p.open({p.writeEvent("a.svx", "AAA"), p.writeEvent("b.svx", "BBB", 3000)});
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(menuTitles(p.frame->menuBar()).size(), 10u);
    ASSERT_EQ(a->doc().recordCount(), 2);

    // Record texts come from the document; Display Record 2 shows it alone, with a check mark.
    p.frame->run(Cmd::Display2);
    EXPECT_TRUE(a->doc().singleRecord());
    EXPECT_EQ(p.frame->action(Cmd::Display2)->text().toStdString(), "&2: BBB");
    EXPECT_TRUE(p.frame->action(Cmd::Display2)->isChecked());
    EXPECT_EQ(p.frame->action(Cmd::Remove)->text().toStdString(), "&Remove - BBB");
    QTest::keyClick(p.frame.get(), Qt::Key_A, Qt::AltModifier);
    EXPECT_FALSE(a->doc().singleRecord());

    // Undo follows the document's last filter-like step; Integrate twice at most.
    EXPECT_FALSE(p.frame->action(Cmd::UndoIntegrate)->isEnabled());
    QTest::keyClick(p.frame.get(), Qt::Key_I, Qt::AltModifier);
    QTest::keyClick(p.frame.get(), Qt::Key_I, Qt::AltModifier);
    EXPECT_EQ(a->doc().integrationLevel(), 2);
    EXPECT_FALSE(p.frame->action(Cmd::Integrate)->isEnabled());
    EXPECT_TRUE(p.frame->action(Cmd::UndoIntegrate)->isEnabled());
    EXPECT_EQ(p.frame->action(Cmd::UndoFiltering)->text().toStdString(), "Undo");

    // Per-window switches: Data Points and Lock in one window do not show in the other.
    EventWindow* b = p.open({p.writeEvent("c.svx", "CCC")});
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(p.frame->action(Cmd::DataPoints)->isChecked());
    p.frame->run(Cmd::DataPoints);
    p.frame->run(Cmd::LockMarkers);
    EXPECT_TRUE(modelOf(b).options().dataPoints);
    EXPECT_FALSE(modelOf(a).options().dataPoints);
    QMdiArea* mdi = qobject_cast<QMdiArea*>(p.frame->centralWidget());
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(a->parentWidget()));
    EXPECT_FALSE(p.frame->action(Cmd::DataPoints)->isChecked());
    EXPECT_FALSE(p.frame->action(Cmd::LockMarkers)->isChecked());
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(b->parentWidget()));
    EXPECT_TRUE(p.frame->action(Cmd::DataPoints)->isChecked());

    // Undoing both integrations leaves nothing to save; closing every window brings back the
    // reduced menus.
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(a->parentWidget()));
    p.frame->run(Cmd::UndoIntegrate);
    p.frame->run(Cmd::UndoIntegrate);
    EXPECT_FALSE(a->doc().anyRecordModified());
    mdi->closeAllSubWindows();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(menuTitles(p.frame->menuBar()).size(), 3u);
}

TEST(EventWindowInput, SaveAsWritesTheChosenFormatAndClearsTheModifiedFlags) {
    struct Case {
        int format;
        const char* name;
        int kind;
    };
    for (const Case c :
         {Case{kSaveSac, "saved.sac", kKindSac}, Case{kSaveMiniSeed, "saved.mseed", kKindMiniSeed}}) {
        SCOPED_TRACE(c.name);
        Program p("[Settings]\nOverWriteMessage=0\n");
        EventWindow* w = p.open({p.writeEvent("a.svx")});
        ASSERT_NE(w, nullptr);
        p.frame->run(Cmd::Integrate);
        ASSERT_TRUE(w->doc().anyRecordModified());
        const std::string target = (p.dir / c.name).string();
        // The dialog opens with SVX Type 4 for an SVX window; the user picks the format and a name.
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<CSave*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* formats = dialog->findChild<QComboBox*>();
            EXPECT_EQ(formats->currentData().toInt(), kSaveSvx4);
            formats->setCurrentIndex(formats->findData(c.format));
            dialog->findChildren<QLineEdit*>().front()->setText(QString::fromStdString(target));
            Q_EMIT dialog->findChildren<QLineEdit*>().front()->textEdited(QString::fromStdString(target));
            dialog->accept();
        });
        p.frame->run(Cmd::SaveAs);
        EXPECT_FALSE(w->doc().anyRecordModified());
        EXPECT_EQ(w->doc().fileName(0), target);
        const LoadResult back = p.ctx.loader->load(LoadRequest{target});
        ASSERT_TRUE(back.ok);
        EXPECT_EQ(back.kind, c.kind);
        // What was saved is what the window holds: the integrated samples (SAC keeps 32-bit floats;
        // the miniSEED reader removes the truncated mean of the float64 values it wrote).
        const auto shown = w->doc().samples(0);
        const auto& got = back.channels[0].samples;
        ASSERT_EQ(got.size(), shown.size());
        for (std::size_t i = 0; i < shown.size(); i += 250)
            EXPECT_NEAR(got[i] - got[0], shown[i] - shown[0], 1e-6 * (1 + std::fabs(shown[i]))) << i;
    }
}

TEST(EventWindowInput, SettingsReachLaterWindowsAndAreWrittenOnExit) {
    Program p("[Settings]\nYDefOnOff=1\nYDefMode=0\nYDefMax=500\nYDefMult=1\n");
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(modelOf(w).scale(0).mode, views::kModeCounts);
    EXPECT_DOUBLE_EQ(modelOf(w).scale(0).fullScale, 500);
    // A new default from the Y-Scale dialog is used by the next window.
    YScaleChoice choice;
    choice.mode = views::kModeCounts;
    choice.fullScale = 250;
    choice.multiplier = 1;
    choice.asDefault = true;
    storeYScaleChoice(p.ctx.ini, p.ctx.settings, choice);
    EventWindow* next = p.open({p.writeEvent("b.svx")});
    EXPECT_DOUBLE_EQ(modelOf(next).scale(0).fullScale, 250);
    // X-Grid is the window's own switch and the default of later windows.
    p.frame->run(Cmd::XGrid);
    EXPECT_FALSE(modelOf(next).options().xGrid);
    EXPECT_TRUE(modelOf(w).options().xGrid);
    p.ctx.messages.setSuppressed(false); // the exit writes only for an interactive run
    qobject_cast<QMdiArea*>(p.frame->centralWidget())->closeAllSubWindows();
    p.frame->close();
    const IniProfile written(p.dir / "TELLURIX.INI");
    for (const char* key :
         {"StatusBar", "ToolBar", "FramePos", "ReportType", "ReportFilter", "DisplayMapRegion", "Directory"})
        EXPECT_TRUE(written.has("Settings", key)) << key;
    EXPECT_EQ(written.getString("Settings", "YDefMax"), "250");
    EXPECT_FALSE(written.getBool("Settings", "XGrid", true));
    EXPECT_TRUE(parseFramePos(written.getString("Settings", "FramePos")).has_value());
}

// Files named on the command line: when none opens, the open dialog follows; a data set of several
// channels goes to the channel choice, and only the chosen channels open.
TEST(EventWindowInput, CommandLineFilesGoToTheOpenDialogOrTheChannelChoice) {
    Program p;
    std::string shown;
    auto answerNext = [&shown](const std::function<void(QWidget*)>& answer) {
        QTimer::singleShot(0, [&shown, answer] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            shown = dialog->windowTitle().toStdString();
            answer(dialog);
        });
    };
    answerNext([](QWidget* d) { d->close(); });
    p.frame->openCommandLineFiles({(p.dir / "missing.svx").string()});
    EXPECT_EQ(shown, "Open File");
    EXPECT_TRUE(p.frame->eventWindows().empty());

    const auto shared = test::sharedDataDir();
    if (shared.empty()) GTEST_SKIP() << "no shared data folder";
    const auto volume = shared / "waveforms/mseed/obspy/II_COCO_three_channel_borehole.mseed";
    shown.clear();
    answerNext([](QWidget* d) {
        auto* list = d->findChild<QListWidget*>();
        ASSERT_EQ(list->count(), 3);
        list->item(0)->setSelected(false);
        list->item(2)->setSelected(true);
        static_cast<QDialog*>(d)->accept();
    });
    p.frame->openCommandLineFiles({volume.string()});
    EXPECT_EQ(shown, "Select Channels");
    ASSERT_EQ(p.frame->eventWindows().size(), 1u);
    const CEqDoc& doc = p.frame->eventWindows().front()->doc();
    ASSERT_EQ(doc.recordCount(), 1);
    const LoadResult all = p.ctx.loader->readHeaderOnly(volume);
    EXPECT_EQ(doc.record(0).component(), all.channels[2].record.component());
}

TEST(EventWindowInput, FontsComeBackAtTheSizeChosen) {
    QFont chosen("DejaVu Sans");
    chosen.setPointSizeF(12);
    const views::FontSpec spec = views::fontSpecFromFont(chosen, views::FontSpec{}, 96);
    EXPECT_EQ(spec.height, -16); // 12 pt at 96 dpi, not the line spacing
    EXPECT_EQ(views::makeFont(spec).pixelSize(), 16);
    QFont pixels("DejaVu Sans");
    pixels.setPixelSize(15);
    EXPECT_EQ(views::fontSpecFromFont(pixels, views::FontSpec{}, 96).height, -15);
}

} // namespace
} // namespace tlx::app

namespace tlx::app {
namespace {

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::string> placemarkNames(const std::string& kml) {
    std::vector<std::string> names;
    for (std::size_t at = kml.find("<Placemark>"); at != std::string::npos;
         at = kml.find("<Placemark>", at + 1)) {
        const std::size_t from = kml.find("<name>", at) + 6;
        names.push_back(kml.substr(from, kml.find("</name>", from) - from));
    }
    return names;
}

TEST(EventWindowInput, GoogleEarthShowsTheEventAndStationWithTheChosenProgram) {
    Program p;
    // The Google Earth program chosen by the user: it notes the file it was started with.
    const auto program = p.dir / "earth.sh";
    const auto started = p.dir / "started.txt";
    std::ofstream(program) << "#!/bin/sh\necho \"$1\" > '" << started.string() << "'\n";
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    p.ctx.settings.googleEarthPath = program.string();
    EventWindow* w =
        p.open({p.writeEvent("a.svx", "TEST", 1000, {test::eventBlock({}, 45.5, -124.0, 10, 455)})});
    ASSERT_NE(w, nullptr);

    p.frame->run(Cmd::GoogleEarthEvent);
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(started); }, 5000));
    EXPECT_EQ(readText(started), (p.dir / "GoogleEarth.kml").string() + "\n");
    std::string kml = readText(p.dir / "GoogleEarth.kml");
    EXPECT_EQ(placemarkNames(kml), (std::vector<std::string>{"Event", "Station"}));
    EXPECT_NE(kml.find("Ml4.5 10km"), std::string::npos);
    // Looked at from 3000 x the distance between them: haversine on a 6371 km sphere.
    const double rad = M_PI / 180, lat1 = 45.5 * rad, lat2 = 47.25 * rad, dlon = (-122.5 + 124.0) * rad;
    const double h = std::pow(std::sin((lat2 - lat1) / 2), 2) +
                     std::cos(lat1) * std::cos(lat2) * std::pow(std::sin(dlon / 2), 2);
    const double km = 2 * 6371 * std::asin(std::sqrt(h));
    const std::size_t range = kml.find("<range>") + 7;
    EXPECT_NEAR(std::stod(kml.substr(range)), 3000 * km, 3000 * km * 0.01);

    std::filesystem::remove(started);
    p.frame->run(Cmd::GoogleEarthStation);
    ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(started); }, 5000));
    kml = readText(p.dir / "GoogleEarth.kml");
    EXPECT_EQ(placemarkNames(kml), (std::vector<std::string>{"Station"}));
    EXPECT_NE(kml.find("<range>160934.000000</range>"), std::string::npos);
}

} // namespace
} // namespace tlx::app
