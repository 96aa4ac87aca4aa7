// The spectrogram and helicorder windows opened from the Calculate menu on a generated event: what
// they draw, the spectrogram following the event window's span, and a click on a helicorder line
// showing that time in the event window.
#include "app/event_window.h"
#include "app/helicorder_window.h"
#include "app/main_frame.h"
#include "app/spectrogram_window.h"
#include "program_fixture.h"
#include "views/scene_painter.h"

#include <QCheckBox>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

template <class W> W* windowOf(Program& p) {
    return p.frame->findChild<QMdiArea*>()->findChild<W*>();
}

// The menu entry of a command, found by its text in the Calculate menu.
QAction* calculateEntry(Program& p, Cmd cmd) {
    for (QAction* top : p.frame->menuBar()->actions())
        if (top->text() == "&Calculate")
            for (QAction* a : top->menu()->actions())
                if (a == p.frame->action(cmd)) return a;
    return nullptr;
}

TEST(GuiSpectrogram, OpensFromTheMenuShowsTheBurstAndFollowsTheEventWindowSpan) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("burst.svx")});
    ASSERT_TRUE(w);
    QAction* entry = calculateEntry(p, Cmd::Spectrogram);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->shortcut(), QKeySequence("Ctrl+G"));
    entry->trigger();
    SpectrogramWindow* s = windowOf<SpectrogramWindow>(p);
    ASSERT_TRUE(s);
    ASSERT_TRUE(QTest::qWaitFor([s] { return !s->busy(); }, 30000));
    ASSERT_FALSE(s->spectrogram().empty()) << s->statusText().toStdString();
    EXPECT_EQ(s->spectrogram().request().window, 256); // 2.56 s at 100 samples/s

    // The burst from 20 s on (1.43 Hz) is bright at its frequency and dark far above it; before the
    // burst the same row is dark.
    QTest::mouseClick(s->logFrequency(), Qt::LeftButton);
    EXPECT_TRUE(s->logFrequency()->isChecked());
    QImage image = s->canvas()->grab().toImage();
    views::SpectrogramLayout& l = s->layout();
    EXPECT_TRUE(l.logarithmic());
    auto green = [&](double t, double f) {
        return qGreen(image.pixel(static_cast<int>(l.xOf(t)), static_cast<int>(l.yOf(f))));
    };
    EXPECT_GT(green(24, 1.43), 180);
    EXPECT_LT(green(24, 30), 100);
    EXPECT_LT(green(10, 1.43), green(24, 1.43) - 60);
    saveScreenshot(p.frame.get(), "spectrogram_window.png");

    // Zooming the event window to 10 s from 20 s zooms the spectrogram with it.
    views::EqViewModel& m = modelOf(w);
    m.setSpan(10);
    m.scrollTo(20);
    w->refresh();
    QApplication::processEvents();
    image = s->canvas()->grab().toImage();
    EXPECT_NEAR(l.timeAt(l.plot().right) - l.timeAt(l.plot().left), 10, 1e-9);
    EXPECT_NEAR(l.timeAt(l.plot().left), 20, 0.01);
    EXPECT_GT(green(21, 1.43), 180);
}

TEST(GuiHelicorder, DrawsTheChannelWithItsMarkersAndAClickShowsThatTimeInTheEventWindow) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("burst.svx")});
    ASSERT_TRUE(w);
    views::EqViewModel& m = modelOf(w);
    const std::int64_t start = static_cast<std::int64_t>(m.recordStartMs(0));
    m.placeMarker(views::kMarkerP, start + 20'000, 40);
    ASSERT_TRUE(calculateEntry(p, Cmd::Helicorder));
    p.frame->run(Cmd::Helicorder);
    HelicorderWindow* h = windowOf<HelicorderWindow>(p);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->channel().samples.size(), 6000u);
    QApplication::processEvents();
    const QImage image = h->canvas()->grab().toImage();
    const views::HelicorderLayout& l = h->layout();
    EXPECT_EQ(l.minutesPerLine(), 5);
    ASSERT_EQ(l.lineCount(), 1);
    const double first = h->channelTime(start);
    // The burst fills the line's height; the quiet start stays near the baseline.
    auto inked = [&](double t) {
        int n = 0;
        const int x = l.xOf(first + t);
        for (int y = l.plot().top; y < l.plot().bottom; ++y)
            n += image.pixelColor(x, y) != views::toQColor(p.ctx.style.colors.background);
        return n;
    };
    EXPECT_GT(inked(21), l.lineSpacing() * 0.8);
    EXPECT_LT(inked(10), l.lineSpacing() * 0.2);
    // The P marker is drawn at 20 s.
    const QColor phases = views::toQColor(p.ctx.style.colors.phases);
    EXPECT_EQ(image.pixelColor(l.xOf(first + 20), l.baseline(0) - 2), phases);
    saveScreenshot(p.frame.get(), "helicorder_window.png");

    // A click 45 s into the record shows that time in the event window.
    QTest::mouseClick(h->canvas(), Qt::LeftButton, {}, QPoint(l.xOf(first + 45), l.baseline(0)));
    const double left = (static_cast<double>(m.leftMs()) - m.recordStartMs(0)) / 1000;
    EXPECT_LE(left, 45);
    EXPECT_GE(left + m.spanSeconds(), 45);
    EXPECT_LT(m.spanSeconds(), 60.5);
}

} // namespace
} // namespace tlx::app
