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
    s->parentWidget()->setGeometry(0, 0, 1000, 560);
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

TEST(GuiHelicorder, DrawsEveryMinuteSpikeOnItsLineWithTheMarkerAndAClickShowsThatTimeInTheEventWindow) {
    // Two hours at 20 samples/s: a quiet sine and a spike at 30 s past every minute.
    Program p;
    test::Svx4Spec spec;
    spec.sps = 20;
    spec.samples.resize(144'000);
    for (std::size_t i = 0; i < spec.samples.size(); ++i)
        spec.samples[i] = i % 1200 == 600 ? 2000 : std::round(10 * std::sin(static_cast<double>(i) * 0.3));
    test::writeBytes(p.dir / "two_hours.svx", test::buildSvx4(spec));
    EventWindow* w = p.open({(p.dir / "two_hours.svx").string()});
    ASSERT_TRUE(w);
    views::EqViewModel& m = modelOf(w);
    const std::int64_t start = static_cast<std::int64_t>(m.recordStartMs(0));
    m.placeMarker(views::kMarkerP, start + 20'000, 40);
    ASSERT_TRUE(calculateEntry(p, Cmd::Helicorder));
    p.frame->run(Cmd::Helicorder);
    HelicorderWindow* h = windowOf<HelicorderWindow>(p);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->channel().samples.size(), 144'000u);
    h->parentWidget()->setGeometry(0, 0, 1000, 700);
    QApplication::processEvents();
    const QImage image = h->canvas()->grab().toImage();
    const views::HelicorderLayout& l = h->layout();
    EXPECT_EQ(l.minutesPerLine(), 5);
    ASSERT_EQ(l.lineCount(), 25); // 12:00:05 to 14:00:05
    const double first = h->channelTime(start);
    const QColor background = views::toQColor(p.ctx.style.colors.background);
    // Each spike reaches the clip on its own line; half way between spikes the line stays quiet.
    for (int minute = 0; minute < 120; ++minute) {
        const double t = first + minute * 60 + 30;
        const int line = l.lineOf(t), top = l.baseline(line) - static_cast<int>(l.lineSpacing() / 2);
        if (top < l.plot().top || l.baseline(line) >= l.plot().bottom) continue; // scrolled out of view
        EXPECT_NE(image.pixelColor(l.xOf(t), top + 1), background) << minute;
        EXPECT_EQ(image.pixelColor(l.xOf(t + 30), top + 1), background) << minute;
    }
    // The P marker is drawn at its time (where the event window's pixel grid put it).
    const double pTime = h->channelTime(m.marker(views::kMarkerP).timeMs);
    EXPECT_EQ(image.pixelColor(l.xOf(pTime), l.baseline(l.lineOf(pTime)) - 2),
              views::toQColor(p.ctx.style.colors.phases));
    saveScreenshot(p.frame.get(), "helicorder_window.png");

    // A click 45 minutes into the record shows that time in the event window.
    const double target = first + 45 * 60;
    QTest::mouseClick(h->canvas(), Qt::LeftButton, {}, QPoint(l.xOf(target), l.baseline(l.lineOf(target))));
    const double left = (static_cast<double>(m.leftMs()) - m.recordStartMs(0)) / 1000;
    EXPECT_LE(left, 45 * 60);
    EXPECT_GE(left + m.spanSeconds(), 45 * 60);
    EXPECT_LE(m.spanSeconds(), 60);
}

} // namespace
} // namespace tlx::app
