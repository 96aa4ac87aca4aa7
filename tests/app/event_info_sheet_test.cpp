// The "Event File Information" sheet and the Picks commands used as a user does.
#include "app/event_info_sheet.h"
#include "program_fixture.h"

#include "core/text.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

// Types into a field of the page on show, then leaves the field.
void retype(CEventInfoSheet* sheet, const char* name, const char* typed) {
    auto* edit = sheet->tabs()->currentWidget()->findChild<QLineEdit*>(name);
    ASSERT_NE(edit, nullptr) << name;
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(edit, &out);
}

QString shown(CEventInfoSheet* sheet, const char* name) {
    return sheet->tabs()->currentWidget()->findChild<QLabel*>(name)->text();
}

QString text(CEventInfoSheet* sheet, const char* name) {
    return sheet->tabs()->currentWidget()->findChild<QLineEdit*>(name)->text();
}

TEST(GuiEventInformation, EditedPagesReachTheRecordsOnOk) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx", "AAA"), p.writeEvent("b.svx", "BBB", 3000)});
    ASSERT_NE(w, nullptr);
    CEqDoc& doc = w->doc();
    ASSERT_EQ(doc.currentRecord(), 1);
    const bool shownSheet =
        answerDialog<CEventInfoSheet>(*p.frame, Cmd::SensorInformation, [&](CEventInfoSheet* d) {
            QTabWidget* tabs = d->tabs();
            EXPECT_EQ(tabs->currentIndex(), 1);
            EXPECT_EQ(tabs->tabText(1), "Sensor Information - BBB");
            retype(d, "latitude", "45:30N");
            EXPECT_EQ(text(d, "latitude"), "45.5N");
            EXPECT_EQ(shown(d, "latitudeShown"), "45:30:00N");
            retype(d, "longitude", "120 W");
            retype(d, "sensorId", "NEWID1X"); // six characters at most
            retype(d, "adBits", "3");
            tabs->setCurrentIndex(0);
            EXPECT_EQ(tabs->currentIndex(), 1) << "A/D bits 3 keeps the page open";
            retype(d, "adBits", "24");
            saveScreenshot(d, "event_info_sensor.png");
            tabs->setCurrentIndex(0);
            ASSERT_EQ(tabs->currentIndex(), 0);

            QTest::mouseClick(buttonOf(d, "&New"), Qt::LeftButton);
            auto* make = static_cast<QPushButton*>(buttonOf(d, "&Make"));
            EXPECT_FALSE(make->isEnabled());
            retype(d, "time", "05/27/18 22:27:23.5");
            retype(d, "latitude", "34 N");
            retype(d, "longitude", "118W");
            retype(d, "depth", "1000.1");
            retype(d, "Ml", "4.2");
            EXPECT_FALSE(make->isEnabled());
            retype(d, "depth", "12");
            EXPECT_TRUE(make->isEnabled());
            QTest::mouseClick(make, Qt::LeftButton);
            EXPECT_TRUE(d->findChild<QWidget*>("report")
                            ->property("plainText")
                            .toString()
                            .startsWith("05/27/2018 22:27:23.5"));
            QTest::mouseClick(buttonOf(d, "&Replace"), Qt::LeftButton);
            // No place name in the file: no distance part, the region follows the magnitude.
            EXPECT_EQ(text(d, "comment"), "Ml4.2, Southern California ");
            saveScreenshot(d, "event_info_event.png");

            tabs->setCurrentIndex(2);
            ASSERT_EQ(tabs->currentIndex(), 2);
            retype(d, "millis", "500");
            saveScreenshot(d, "event_info_time.png");
            QTest::mouseClick(buttonOf(d, "OK"), Qt::LeftButton);
        });
    ASSERT_TRUE(shownSheet);
    for (int i = 0; i < 2; ++i) {
        const EventRecord& r = doc.record(i);
        EXPECT_TRUE(doc.slot(i).modified) << i;
        EXPECT_EQ(double{r.header.latitude}, 45.5); // packed fields are compared as copies
        EXPECT_EQ(double{r.header.longitude}, -120);
        EXPECT_EQ(r.header.startTime.nanoseconds, 500'000'000);
        ASSERT_EQ(r.info.events.size(), 1u);
        EXPECT_EQ(r.info.events[0].magMl, 420);
        EXPECT_EQ(formatIsoTime(r.info.events[0].originTime), "2018-05-27T22:27:23.500Z");
        EXPECT_EQ(r.info.comment, "Ml4.2, Southern California ");
    }
    EXPECT_EQ(doc.record(0).stationName(), "AAA") << "the sensor ID is the selected record's own";
    EXPECT_EQ(doc.record(1).stationName(), "NEWID1");
    EXPECT_EQ(modelOf(w).axisStartMs(), 43'206'000)
        << "the axis starts at the next whole second of 12:00:05.5";
}

TEST(GuiEventInformation, CancelAndAnUntouchedOkChangeNothing) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    // Values the fields show shorter than they are, and a stored event without magnitudes.
    EventRecord& held = w->doc().editRecord(0);
    held.header.sensitivity = 2.123456789e-7;
    held.header.latitude = 47.123456789;
    EventEntry quiet{};
    quiet.originTime = held.header.startTime;
    quiet.depth = 7.25;
    held.info.events = {quiet};
    const EventRecord before = held;
    ASSERT_TRUE(answerDialog<CEventInfoSheet>(*p.frame, Cmd::EventInformation, [&](CEventInfoSheet* d) {
        EXPECT_EQ(d->windowTitle(), "Event File Information");
        d->tabs()->setCurrentIndex(1);
        d->tabs()->setCurrentIndex(2);
        QTest::mouseClick(buttonOf(d, "OK"), Qt::LeftButton);
    }));
    EXPECT_FALSE(w->doc().slot(0).modified) << "every page opened, nothing typed";
    ASSERT_TRUE(answerDialog<CEventInfoSheet>(*p.frame, Cmd::EventInformation, [&](CEventInfoSheet* d) {
        retype(d, "comment", "typed but cancelled");
        d->tabs()->setCurrentIndex(1);
        retype(d, "elevation", "999");
        QTest::mouseClick(buttonOf(d, "Cancel"), Qt::LeftButton);
    }));
    const EventRecord& after = w->doc().record(0);
    EXPECT_FALSE(w->doc().slot(0).modified);
    EXPECT_EQ(after.info.comment, before.info.comment);
    EXPECT_EQ(double{after.header.elevation}, double{before.header.elevation});
    EXPECT_EQ(double{after.header.sensitivity}, double{before.header.sensitivity});
    EXPECT_EQ(double{after.header.latitude}, double{before.header.latitude});
    ASSERT_EQ(after.info.events.size(), 1u);
    EXPECT_EQ(double{after.info.events[0].depth}, 7.25);
}

// Alt+K keeps the markers in the file; a window opened on the saved file shows them again.
TEST(GuiEventInformation, PicksSavedWithAltKComeBackInANewWindow) {
    Program p;
    const std::string file = p.writeEvent("a.svx");
    EventWindow* w = p.open({file});
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(p.frame->action(Cmd::PicksView)->isEnabled());
    views::EqViewModel& m = modelOf(w);
    m.placeMarker(views::kMarkerP, m.axisStartMs() + 20'000, m.graph().top + 100);
    m.placeMarker(views::kMarkerS, m.axisStartMs() + 31'500, m.graph().top + 150);
    const views::Marker p0 = m.marker(views::kMarkerP), s0 = m.marker(views::kMarkerS);
    QTest::keyClick(p.frame.get(), Qt::Key_K, Qt::AltModifier);
    ASSERT_EQ(w->doc().record(0).info.picks.size(), 2u) << "no Md marker: P and S only";
    EXPECT_TRUE(w->doc().slot(0).modified);
    p.frame->run(Cmd::Save);
    w->close();
    QApplication::processEvents();

    EventWindow* again = p.open({file});
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(p.frame->action(Cmd::PicksView)->isEnabled());
    p.frame->run(Cmd::PicksView);
    const views::EqViewModel& m2 = modelOf(again);
    // Marker times follow their pixel column: back within one column of where they were.
    const double msPerColumn = m2.spanSeconds() * 1000 / m2.graph().width();
    EXPECT_NEAR(m2.marker(views::kMarkerP).timeMs, p0.timeMs, msPerColumn);
    EXPECT_NEAR(m2.marker(views::kMarkerS).timeMs, s0.timeMs, msPerColumn);
    EXPECT_EQ(m2.marker(views::kMarkerS).x, s0.x);
    EXPECT_NEAR(m2.marker(views::kMarkerS).y, s0.y, 1);
    p.frame->run(Cmd::PicksClear);
    EXPECT_TRUE(again->doc().record(0).info.picks.empty());
    EXPECT_TRUE(again->doc().slot(0).modified) << "closing asks to save";
    EXPECT_FALSE(p.frame->action(Cmd::PicksView)->isEnabled());
}

} // namespace
} // namespace tlx::app
