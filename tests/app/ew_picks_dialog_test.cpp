// "Earthworm Picks": a phase file's picks go to the window's P marker and come back from it, the
// P marker's context menu adds the record's pick, and the dialog keeps its keys.
#include "app/ew_picks_dialog.h"
#include "program_fixture.h"
#include "services/ew_record_pick.h"

#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

TEST(GuiEwPicks, PicksTravelBetweenThePhaseFileAndTheWindowMarkers) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx", "TEST")});
    ASSERT_NE(w, nullptr);
    const EventRecord& record = w->doc().record(0);
    const double firstPick =
        ewTimeOfMarker(record, static_cast<std::int64_t>(modelOf(w).recordStartMs(0))) + 25;
    const std::string arc = (p.dir / "event.arc").string();
    std::ofstream(arc) << "202403011200 0000\n"
                       << ewNewPhaseLine({"TEST", "XX", "BHZ", "", firstPick}) << "\n"
                       << ewNewPhaseLine({"OTHER", "XX", "BHZ", "", firstPick + 3}) << "\n   end\n";
    p.ctx.ini.setString("EwPhases", "EwPicksFile", arc);

    p.frame->run(Cmd::EwPicks);
    auto* dialog = p.frame->findChild<CEwPicksDlg*>();
    ASSERT_NE(dialog, nullptr);
    auto* list = dialog->findChild<QListWidget*>();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text().toStdString(), ewPickListLine(dialog->phases().picks()[0]));

    // Update: the window's P marker stands at the pick of its station.
    QTest::mouseClick(buttonOf(dialog, "&Update Picks"), Qt::LeftButton);
    const views::Marker& marker = modelOf(w).marker(views::kMarkerP);
    ASSERT_TRUE(marker.placed());
    EXPECT_NEAR(marker.timeMs, ewMarkerOfTime(record, firstPick), 60); // a pixel of 60 s over the strip

    // The marker moved by the keyboard: Get takes its time back, the other station's pick stays.
    modelOf(w).setActiveMarker(views::kMarkerP);
    QTest::keyClick(w->view(), Qt::Key_Right, Qt::ControlModifier);
    ASSERT_GT(marker.timeMs - ewMarkerOfTime(record, firstPick), 100);
    QTest::mouseClick(buttonOf(dialog, "&Get Picks"), Qt::LeftButton);
    EXPECT_DOUBLE_EQ(dialog->phases().picks()[0].time, ewTimeOfMarker(record, marker.timeMs));
    EXPECT_DOUBLE_EQ(dialog->phases().picks()[1].time, firstPick + 3);

    // On the P marker the context menu has the one entry, which adds the record's pick.
    auto menu = p.frame->contextMenu(w, QPoint(marker.x + 3, marker.y + 3));
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "Add P Time to Pick List");
    menu->actions()[0]->trigger();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(dialog->phases().picks()[2].name, "TEST.BHZ");
    EXPECT_GT(p.frame->contextMenu(w, QPoint(5, 5))->actions().size(), 1);

    // Weight list: the last entry disables the chosen pick.
    list->setCurrentRow(1);
    auto* weight = dialog->findChild<QComboBox*>();
    QTest::keyClick(weight, Qt::Key_End);
    ASSERT_EQ(weight->currentIndex(), 5);
    EXPECT_TRUE(list->item(1)->text().endsWith("<Disabled>"));
    saveScreenshot(dialog, "earthworm_picks.png");

    dialog->accept();
    EXPECT_EQ(p.ctx.ini.getString("EwPhases", "EwPicksFile", ""), arc);
    EXPECT_FALSE(p.ctx.ini.getString("EwPhases", "EwPicksPos", "").empty());
}

} // namespace
} // namespace tlx::app
