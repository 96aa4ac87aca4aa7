// The waveform view's window commands driven offscreen: the application's time lock, Title and
// the window drag, the display switches (what is drawn, what is written back), the context menu
// and Y-Scale for all windows.
#include "app/yscale_dialog.h"
#include "program_fixture.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

QMdiSubWindow* frameOf(EventWindow* w) {
    return qobject_cast<QMdiSubWindow*>(w->parentWidget());
}

void activate(Program& p, EventWindow* w) {
    qobject_cast<QMdiArea*>(p.frame->centralWidget())->setActiveSubWindow(frameOf(w));
}

TEST(GuiWaveformView, TimeLockMovesEveryWindowTogether) {
    Program p;
    EventWindow* a = p.open({p.writeEvent("a.svx")});
    EventWindow* b = p.open({p.writeEvent("b.svx", "BBB")});
    ASSERT_TRUE(a && b);
    p.frame->setXScale(*a, 12.6, true);
    EXPECT_TRUE(p.frame->timeLocked());
    EXPECT_EQ(modelOf(a).spanSeconds(), 12);
    EXPECT_EQ(modelOf(b).spanSeconds(), 12);
    EXPECT_EQ(modelOf(b).leftMs(), modelOf(a).leftMs());

    // Scrolling one window (distance display off: the arrows scroll) moves the other with it.
    activate(p, a);
    p.frame->run(Cmd::DistanceMagnitude);
    QTest::keyClick(a->view(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_GT(modelOf(a).leftMs(), modelOf(a).axisStartMs());
    EXPECT_EQ(modelOf(b).leftMs(), modelOf(a).leftMs());
    // Near the end the span stays inside the record: the left edge is pulled back.
    p.frame->setXScale(*b, 50, true);
    modelOf(b).scrollSeconds(1000);
    b->refresh();
    EXPECT_EQ(modelOf(a).leftMs() + 50'000, modelOf(a).axisStartMs() + modelOf(a).durationSeconds() * 1000);

    qobject_cast<QMdiArea*>(p.frame->centralWidget())->tileSubWindows();
    QApplication::processEvents();
    saveScreenshot(p.frame.get(), "gui-time-lock.png");

    // Without the lock the windows go their own ways.
    p.frame->setXScale(*a, 20, false);
    EXPECT_FALSE(p.frame->timeLocked());
    EXPECT_EQ(modelOf(b).spanSeconds(), 50);
}

TEST(GuiWaveformView, TitleHidesTheCaptionAndADragMovesTheWindow) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    QMdiSubWindow* sub = frameOf(w);
    const QRect before = sub->geometry();
    p.frame->run(Cmd::Title);
    EXPECT_TRUE(sub->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(sub->geometry(), before) << "the frame keeps its place";
    EXPECT_FALSE(p.frame->action(Cmd::Title)->isChecked());

    // A left-button drag away from the markers moves the window.
    const views::Rect g = modelOf(w).graph();
    const QPoint start((g.left + g.right) / 2, g.top + 30);
    QTest::mousePress(w->view(), Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(40, 25)),
                     w->view()->mapToGlobal(QPointF(start + QPoint(40, 25))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w->view(), &move);
    QTest::mouseRelease(w->view(), Qt::LeftButton, {}, start + QPoint(40, 25));
    EXPECT_EQ(sub->pos(), before.topLeft() + QPoint(40, 25));
    saveScreenshot(p.frame.get(), "gui-title-hidden.png");

    // A double right-click brings the caption back; a drag then selects, it does not move.
    QTest::mouseDClick(w->view(), Qt::RightButton, {}, start);
    EXPECT_FALSE(sub->windowFlags().testFlag(Qt::FramelessWindowHint));
    const QPoint placed = sub->pos();
    QTest::mousePress(w->view(), Qt::LeftButton, {}, start);
    QTest::mouseMove(w->view(), start + QPoint(40, 25));
    QTest::mouseRelease(w->view(), Qt::LeftButton, {}, start + QPoint(40, 25));
    EXPECT_EQ(sub->pos(), placed);
}

TEST(GuiWaveformView, DisplaySwitchesChangeThePictureAndAreWrittenBack) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    struct Case {
        Cmd cmd;
        const char* key; // nullptr: not stored
    };
    // Time labels show only with the time grid: UTC Time goes first.
    const Case cases[] = {{Cmd::UtcTime, "TimeFormat"}, {Cmd::XGrid, "XGrid"},
                          {Cmd::YGrid, "YGrid"},        {Cmd::Distance, "Distance"},
                          {Cmd::DataPoints, nullptr},   {Cmd::VertBar, "VertScroll"},
                          {Cmd::HorzBar, "HorzScroll"}};
    // Data points show only where there are fewer samples than pixels.
    modelOf(w).setSpan(5);
    w->refresh();
    for (const Case& c : cases) {
        SCOPED_TRACE(commandSpec(c.cmd).text);
        const QImage before = w->grab().toImage();
        const bool was = p.frame->action(c.cmd)->isChecked();
        p.frame->run(c.cmd);
        QApplication::processEvents();
        EXPECT_NE(p.frame->action(c.cmd)->isChecked(), was);
        EXPECT_NE(w->grab().toImage(), before) << "what is drawn changes";
        if (c.key) {
            const IniProfile written(p.dir / "TELLURIX.INI");
            ASSERT_TRUE(written.has("Settings", c.key));
            EXPECT_EQ(written.getBool("Settings", c.key, was), !was);
        }
    }
    // Y-Scale Display entries follow the record's calibration: this record has no volts.
    EXPECT_TRUE(p.frame->action(Cmd::YCounts)->isEnabled());
    EXPECT_TRUE(p.frame->action(Cmd::YSensor)->isEnabled());
    EXPECT_FALSE(p.frame->action(Cmd::YVoltsAd)->isEnabled());
}

TEST(GuiWaveformView, ContextMenuAndYScaleForAllWindows) {
    Program p;
    EventWindow* a = p.open({p.writeEvent("a.svx")});
    EventWindow* b = p.open({p.writeEvent("b.svx", "BBB", 5000)});
    ASSERT_TRUE(a && b);
    std::vector<std::string> entries;
    auto menu = p.frame->contextMenu(b, QPoint(100, 100));
    for (QAction* act : menu->actions())
        if (!act->isSeparator()) entries.push_back(act->text().toStdString());
    EXPECT_EQ(entries,
              (std::vector<std::string>{"&Save File", "Save &As...", "&Print...", "Display/Modify", "Scales",
                                        "C&rop", "&Integrate Data", "U&ndo Integrate", "&Filter Data", "Undo",
                                        "&Distance/Magnitude", "P-S &Location", "&Switch Tables", "Magnitude",
                                        "L&ocate Event", "&Event Report..."}));

    QTimer::singleShot(0, [] {
        auto* dialog = dynamic_cast<CYScale*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QDoubleSpinBox*>()->setValue(200);
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
            if (box->text() == "All Windows") box->setChecked(true);
        dialog->accept();
    });
    p.frame->run(Cmd::YScale);
    for (EventWindow* w : {a, b})
        EXPECT_DOUBLE_EQ(modelOf(w).scale(0).fullScale, 200);
    EXPECT_TRUE(IniProfile(p.dir / "TELLURIX.INI").getBool("Settings", "AllYWindows", false));
}

} // namespace
} // namespace tlx::app
