// The spectrum window driven from the event window's menus: what it draws, Cancel during a long
// transform, the spectral filter back into the record with undo, its menus and its GIF picture.
#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/spectrum_window.h"
#include "program_fixture.h"
#include "record/sac_writer.h"
#include "views/document_filter_target.h"

#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <numbers>

namespace tlx::app {
namespace {

// An event of sines (hertz, counts) at `sps`.
std::string writeSines(Program& p, const std::string& name, double sps, std::size_t n,
                       std::vector<std::pair<double, double>> sines) {
    test::Svx4Spec spec;
    spec.sps = sps;
    spec.samples.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        for (const auto& [hz, counts] : sines)
            spec.samples[i] +=
                std::round(counts * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / sps));
    const auto path = p.dir / name;
    test::writeBytes(path, test::buildSvx4(spec));
    return path.string();
}

// The longest record a file may hold, as SAC (an SVX Type 4 file stops one sample short).
std::string writeLongSac(Program& p, const std::string& name) {
    EventRecord record;
    record.header.startTime = {2024, 3, 1, 12, 0, 0, 0, 0};
    record.header.sps = 100;
    std::vector<double> samples(5'242'880);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::round(1000 * std::sin(2 * std::numbers::pi * static_cast<double>(i) / 100));
    const auto path = p.dir / name;
    RecordingMessages quiet;
    EXPECT_TRUE(
        writeSacFile(path, WriteChannel{&record, samples}, WriterOptions{}, SacByteOrder::Little, quiet));
    return path.string();
}

SpectrumWindow* spectrumOf(Program& p) {
    auto* mdi = p.frame->findChild<QMdiArea*>();
    return activeSpectrumWindow(mdi);
}

bool waitDone(SpectrumWindow* w) {
    return QTest::qWaitFor([w] { return !w->busy(); }, 30000);
}

std::vector<std::string> menuTitles(QMenuBar* bar) {
    std::vector<std::string> out;
    for (QAction* a : bar->actions())
        out.push_back(a->text().toStdString());
    return out;
}

TEST(GuiSpectrumWindow, TwoSinesPeakAtTheirColumnsWithItsOwnMenusAndGif) {
    Program p;
    // 2 Hz and 10 Hz fall on whole bins: 128 sps, 8192 samples, bin width 1/64 Hz.
    EventWindow* w = p.open({writeSines(p, "a.svx", 128, 8192, {{2, 1000}, {10, 300}})});
    ASSERT_NE(w, nullptr);
    p.frame->run(Cmd::FftFull);
    SpectrumWindow* s = spectrumOf(p);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(waitDone(s));
    ASSERT_FALSE(s->spectrum().empty());
    EXPECT_EQ(s->windowTitle().toStdString(), "FFT - " + w->doc().title());
    EXPECT_EQ(s->statusText().toStdString(), "a.svx - Samples: 8192  Padded: 0");

    // The two highest columns of the drawn trace sit on 2 Hz and 10 Hz, at the sines' peak-to-peak
    // amplitudes.
    s->view()->repaint();
    const views::SpectrumViewModel& m = s->view()->model();
    const std::vector<views::ColumnSpan> cols = m.columns();
    auto highest = [&](auto keep) {
        const views::ColumnSpan* best = nullptr;
        for (const views::ColumnSpan& c : cols)
            if (keep(c) && (!best || c.top < best->top)) best = &c;
        return best;
    };
    const views::ColumnSpan* first = highest([](const views::ColumnSpan&) { return true; });
    ASSERT_NE(first, nullptr);
    const views::ColumnSpan* second =
        highest([&](const views::ColumnSpan& c) { return std::abs(c.x - first->x) > 10; });
    ASSERT_NE(second, nullptr);
    EXPECT_NEAR(first->x, m.xOf(2), 1);
    EXPECT_EQ(first->top, m.yOf(2000));
    EXPECT_NEAR(second->x, m.xOf(10), 1);
    EXPECT_EQ(second->top, m.yOf(600));
    // Peak-to-peak off halves them.
    p.frame->run(Cmd::SpecPeakToPeak);
    EXPECT_NEAR(s->spectrum().maxAmplitude(), 1000, 0.1);
    EXPECT_EQ(p.ctx.ini.getString("Settings", "FFTPeakToPeak", ""), "0");

    // Its own menu set while active; the event window's again when that one is.
    EXPECT_EQ(menuTitles(p.frame->menuBar()),
              (std::vector<std::string>{"&File", "&Calculate", "&View", "&Options", "&Window", "&Help"}));
    EXPECT_FALSE(p.frame->action(Cmd::SpecTimeDomain)->isEnabled());
    EXPECT_FALSE(p.frame->action(Cmd::Crop)->isEnabled());
    auto* mdi = p.frame->findChild<QMdiArea*>();
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    EXPECT_EQ(menuTitles(p.frame->menuBar()).size(), 10u);
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(s->parentWidget()));

    // Save GIF: the save dialog in GIF-only mode with the "_fft.gif" name.
    std::string proposed;
    int formats = 0;
    QTimer::singleShot(0, [&] {
        QWidget* d = QApplication::activeModalWidget();
        ASSERT_NE(d, nullptr);
        formats = d->findChild<QComboBox*>()->count();
        for (QLineEdit* e : d->findChildren<QLineEdit*>())
            if (e->isEnabled() && !e->text().isEmpty()) proposed = e->text().toStdString();
        static_cast<QDialog*>(d)->accept();
    });
    p.frame->run(Cmd::SpecSaveGif);
    EXPECT_EQ(formats, 1);
    EXPECT_EQ(proposed, (p.dir / "a_svx_fft.gif").string());
    std::ifstream gif(proposed, std::ios::binary);
    char magic[6] = {};
    gif.read(magic, 6);
    EXPECT_EQ(std::string(magic, 4), "GIF8");
}

TEST(GuiSpectrumWindow, CancelDuringALongTransformReturnsAtOnceAndChangesNothing) {
    Program p;
    EventWindow* w = p.open({writeLongSac(p, "long.sac")});
    ASSERT_NE(w, nullptr);
    const std::span<const double> before = w->doc().samples(0);
    const std::vector<double> kept(before.begin(), before.end());
    p.frame->run(Cmd::DftFull);
    SpectrumWindow* s = spectrumOf(p);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(s->busy());
    EXPECT_TRUE(s->progressBar()->isVisible());
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(s->cancelButton(), Qt::LeftButton);
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_FALSE(s->busy());
    EXPECT_FALSE(s->progressBar()->isVisible());
    EXPECT_TRUE(s->spectrum().empty());
    // The window goes on working: a new transform (from the event window's menu) runs to its end,
    // and closing during one is safe.
    auto* mdi = p.frame->findChild<QMdiArea*>();
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    p.frame->run(Cmd::FftFull);
    ASSERT_EQ(spectrumOf(p), s);
    ASSERT_TRUE(waitDone(s));
    EXPECT_EQ(s->spectrum().length(), 8'388'608);
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    p.frame->run(Cmd::DftFull);
    ASSERT_TRUE(s->busy());
    clock.restart();
    s->parentWidget()->close();
    QApplication::processEvents();
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_EQ(spectrumOf(p), nullptr);
    const std::span<const double> after = w->doc().samples(0);
    ASSERT_EQ(after.size(), kept.size());
    EXPECT_EQ(std::memcmp(after.data(), kept.data(), kept.size() * sizeof(double)), 0);
}

TEST(GuiSpectrumWindow, TimeDomainAfterALowPassChangesTheRecordAndUndoRestoresIt) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    const std::vector<double> kept(w->doc().samples(0).begin(), w->doc().samples(0).end());
    p.frame->run(Cmd::FftFull);
    SpectrumWindow* s = spectrumOf(p);
    ASSERT_TRUE(s && waitDone(s));

    QTimer::singleShot(0, [&] {
        auto* d = QApplication::activeModalWidget();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle().toStdString(), "Low-Pass Filter - TEST");
        d->findChild<QDoubleSpinBox*>()->setValue(1.5);
        d->findChild<QSpinBox*>()->setValue(4);
        static_cast<QDialog*>(d)->accept();
    });
    p.frame->run(Cmd::SpecLowPass);
    ASSERT_TRUE(s->spectrum().filtered());
    ASSERT_TRUE(p.frame->action(Cmd::SpecTimeDomain)->isEnabled());
    p.frame->run(Cmd::SpecTimeDomain);

    // The record holds what the library gives for the same transform and filter, and the event
    // window is active again with the note in the history.
    Spectrum reference;
    SpectrumRequest request;
    request.sampleRate = 100;
    std::string error;
    ASSERT_TRUE(reference.compute(kept, request, nullptr, error));
    RecordingMessages quiet;
    ASSERT_TRUE(reference.lowPass(1.5, 4, quiet));
    const std::vector<double> expected = reference.timeDomain();
    const std::span<const double> now = w->doc().samples(0);
    ASSERT_EQ(now.size(), expected.size());
    for (std::size_t i = 0; i < now.size(); i += 97)
        ASSERT_NEAR(now[i], expected[i], 1e-9) << i;
    EXPECT_NE(now[2500], kept[2500]);
    EXPECT_EQ(p.frame->activeEventWindow(), w);
    EXPECT_EQ(w->doc().record(0).info.history.back(), "FFT Filter BW LP Freq: 1.5 Hz  Poles: 4");

    p.frame->run(Cmd::UndoFiltering);
    const std::span<const double> undone = w->doc().samples(0);
    ASSERT_EQ(undone.size(), kept.size());
    EXPECT_EQ(std::memcmp(undone.data(), kept.data(), kept.size() * sizeof(double)), 0);
}

} // namespace
} // namespace tlx::app

namespace tlx::app {
namespace {

TEST(GuiSpectrumWindow, AutoFftDisplayFollowsTheWindowsViewUntilSwitchedOff) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    p.frame->run(Cmd::AutoFft);
    SpectrumWindow* s = spectrumOf(p);
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(waitDone(s));
    const long long before = s->spectrum().analysed();
    // A shorter span: the spectrum of the shown part follows by itself.
    modelOf(w).setSpan(10);
    w->refresh();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !s->busy() && s->spectrum().analysed() != before; }, 5000));
    const long long shown = s->spectrum().analysed();
    EXPECT_NEAR(shown, 1000, 2);
    // Switched off in the event window, the spectrum stays as it is.
    auto* mdi = p.frame->findChild<QMdiArea*>();
    mdi->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    p.frame->run(Cmd::AutoFft);
    EXPECT_FALSE(w->autoFft());
    modelOf(w).setSpan(20);
    w->refresh();
    QTest::qWait(600);
    EXPECT_FALSE(s->busy());
    EXPECT_EQ(s->spectrum().analysed(), shown);
}

} // namespace
} // namespace tlx::app
