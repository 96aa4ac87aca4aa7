// The "Great Circle Distance Calculator" typed into as a user does, from the Calculate menu.
#include "app/great_circle_dialog.h"
#include "program_fixture.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

struct Typed {
    const char* inputs[4];
    const char* shown[9]; // four echoes, event and station region, distance, two azimuths
};
const char* const kShown[9] = {"echo0",
                               "echo1",
                               "echo2",
                               "echo3",
                               "eventRegion",
                               "stationRegion",
                               "distance",
                               "azimuthEventToStation",
                               "azimuthStationToEvent"};

TEST(GuiGreatCircleDialog, TypedPositionsGiveDistanceAzimuthsAndRegions) {
    Program p;
    p.open({p.writeEvent("a.svx")});
    const Typed cases[] = {
        // A station half-typed: what is known is echoed, the rest shows "???" or "ERROR".
        {{"64 N", "150 W", "", "abc"},
         {"64:00:00N", "150:00:00W", "???", "ERROR", "Central Alaska", "???", "???", "???", "???"}},
        // A quarter of the equator: 90 degrees, due east and due west (0 echoes as nothing).
        {{"0 N", "10 E", "0 S", "100 E"},
         {"", "10:00:00E", "", "100:00:00E", nullptr, nullptr, "90.000 deg  10005.9750 km  6217.4227 mi",
          "90.0 degrees", "270.0 degrees"}},
        // 90 N is taken as 89.9; a typed longitude beyond 180 is refused.
        {{"90 N", "190 E", "10 N", "20 W"},
         {"89:54:00N", "ERROR", "10:00:00N", "20:00:00W", "???", nullptr, "???", "???", "???"}},
    };
    const bool shown = answerDialog<CWorldistDialog>(*p.frame, Cmd::GreatCircle, [&](CWorldistDialog* d) {
        EXPECT_EQ(d->windowTitle(), "Great Circle Distance Calculator");
        QPushButton* calculate = nullptr;
        for (QPushButton* b : d->findChildren<QPushButton*>())
            if (b->text() == "C&alculate") calculate = b;
        ASSERT_NE(calculate, nullptr);
        auto input = [d](int i) { return d->findChild<QLineEdit*>(QString("input%1").arg(i)); };
        for (const Typed& c : cases) {
            for (int i = 0; i < 4; ++i) {
                input(i)->clear();
                QTest::keyClicks(input(i), c.inputs[i]);
            }
            QTest::mouseClick(calculate, Qt::LeftButton);
            for (int i = 0; i < 9; ++i) {
                if (!c.shown[i]) continue;
                std::string shown = d->findChild<QLabel*>(kShown[i])->text().toStdString();
                // Region names may carry a country after the name.
                if (i == 4 || i == 5) shown = shown.substr(0, shown.find(','));
                EXPECT_EQ(shown, c.shown[i]) << kShown[i] << " for " << c.inputs[0] << " " << c.inputs[1];
            }
        }
        // A field holding "???" or an error is emptied when the user enters it; a value is kept.
        input(0)->setText("???");
        input(1)->setText("ERROR");
        for (int i = 0; i < 3; ++i) {
            QFocusEvent in(QEvent::FocusIn);
            QApplication::sendEvent(input(i), &in);
        }
        EXPECT_EQ(input(0)->text(), "");
        EXPECT_EQ(input(1)->text(), "");
        EXPECT_EQ(input(2)->text(), "10 N");
        d->reject();
    });
    EXPECT_TRUE(shown);
}

} // namespace
} // namespace tlx::app
