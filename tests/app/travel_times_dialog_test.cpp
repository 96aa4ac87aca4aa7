// "Travel-Time Tables" and Switch Tables from the menus: the choice reaches the window, or every
// open window, and the settings file only when saved as default; Cancel changes nothing.
#include "app/travel_times_dialog.h"
#include "core/ini_profile.h"
#include "program_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

TEST(GuiTravelTimeDialog, ChoiceReachesEveryWindowAndSettingsOnlyWhenAccepted) {
    Program p;
    EventWindow* first = p.open({p.writeEvent("a.svx")});
    EventWindow* second = p.open({p.writeEvent("b.svx", "OTHR")});
    ASSERT_TRUE(first && second);
    const WindowTravelTimes before = second->session().travelTimes();
    ASSERT_EQ(before.useTable, kTeleseismic);
    auto drive = [&](auto body) {
        EXPECT_TRUE(answerDialog<CTravelTimesDialog>(*p.frame, Cmd::TravelTimeTables, body));
    };
    // Cancel after changing everything: nothing changes.
    drive([](QDialog* d) {
        QTest::mouseClick(buttonOf(d, "&IASP91"), Qt::LeftButton);
        d->findChild<QLineEdit*>("depth")->setText("200");
        d->reject();
    });
    EXPECT_EQ(second->session().travelTimes().useTable, kTeleseismic);
    EXPECT_EQ(second->session().travelTimes().teleDepth, 33);

    // The depth follows the mode's own table: the shipped regional P table ends at 100 km, the
    // teleseismic one at 700 km; a typed depth beyond the range stops at its end.
    drive([](QDialog* d) {
        auto* depth = d->findChild<QLineEdit*>("depth");
        auto* bar = d->findChild<QScrollBar*>();
        EXPECT_EQ(depth->text(), "33");
        EXPECT_EQ(bar->maximum(), 700);
        QTest::mouseClick(buttonOf(d, "&Regional"), Qt::LeftButton);
        EXPECT_EQ(depth->text(), "5");
        EXPECT_EQ(bar->maximum(), 100);
        EXPECT_EQ(bar->pageStep(), 5);
        depth->clear();
        QTest::keyClicks(depth, "150");
        EXPECT_EQ(bar->value(), 100);
        depth->clear();
        QTest::keyClicks(depth, "12");
        EXPECT_EQ(bar->value(), 12);
        buttonOf(d, "&All Event Windows")->click();
        buttonOf(d, "&Save as Default")->click();
        d->accept();
    });
    for (EventWindow* w : {first, second}) {
        const WindowTravelTimes& t = w->session().travelTimes();
        EXPECT_EQ(t.useTable, kRegional);
        EXPECT_EQ(t.regDepth, 12);
        EXPECT_EQ(t.spDepth, 12);
        EXPECT_NE(t.sp.size(), before.sp.size()); // the regional lookup, not the teleseismic one
    }
    const IniProfile saved(p.dir / "TELLURIX.INI");
    EXPECT_EQ(saved.getString("Tables", "UseTable"), "0");
    EXPECT_EQ(saved.getString("Tables", "RegDepth"), "1200");
    EXPECT_EQ(saved.getString("Tables", "P-FileReg"), "P_b.JB");

    // Switch Tables flips the active window only.
    EventWindow* active = p.frame->activeEventWindow();
    EventWindow* other = active == first ? second : first;
    p.frame->run(Cmd::SwitchTables);
    EXPECT_EQ(active->session().travelTimes().useTable, kTeleseismic);
    EXPECT_EQ(other->session().travelTimes().useTable, kRegional);
    p.frame->run(Cmd::SwitchTables);
    EXPECT_EQ(active->session().travelTimes().useTable, kRegional);
}

} // namespace
} // namespace tlx::app
