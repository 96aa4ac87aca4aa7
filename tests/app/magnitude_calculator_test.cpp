// The "Magnitude Calculator" from the Calculate menu: started from the record, typed into, solved
// forwards and backwards; the record itself stays as it was.
#include "app/magnitude_calculator.h"
#include "core/text.h"
#include "program_fixture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

// One user step: fields typed into (name, text), then Calculate, then the fields expected.
struct Step {
    std::vector<std::pair<const char*, const char*>> typed;
    std::vector<std::pair<const char*, const char*>> shown;
};

TEST(GuiMagnitudeCalculator, ForwardAndBackwardSolutionsFromTypedValues) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    // Hutton and Boore -log A0 is 3.0 at 100 km: Ml = 3 + log10(1 mm x 2800) = 6.447.
    const Step steps[] = {
        {{{"displacement", "1 mm"}, {"counts", "1000"}, {"correction", "0.1"}, {"km", "100"}},
         {{"degrees", "0.899463"},
          {"miles", "62.1371"},
          {"sensitivity", "0.0001"},
          {"minusLogA0", "3"},
          {"ml", "6.45"},
          {"mlCorr", "5.00"},
          {"ms", ""}}},
        // Backwards: the correction for Ml 6 by counts, then the displacement (and counts) for Ml 5.
        {{{"mlCorr", "6"}}, {{"correction", "1"}, {"mlCorr", "6.00"}}},
        {{{"ml", "5"}}, {{"displacement", "35.7143 um"}, {"counts", "35.7143"}, {"ml", "5.00"}}},
        // 20 degrees: Ms and Mb with the 20 s and 1 s periods.
        {{{"km", "20 D"}},
         {{"degrees", "20"}, {"miles", "1381.65"}, {"ms", "5.71"}, {"mb", "7.65"}, {"mbTerm", "6.10"}}},
        // A distance/depth correction of the user's own replaces 0.01 x 20 + 5.9; the depth is
        // read as miles with "M".
        {{{"mbTerm", "6.5"}, {"mbDepth", "10 M"}},
         {{"mb", "8.05"}, {"mbTerm", "6.50"}, {"mbDepth", "16.0934"}}},
    };
    const bool shown =
        answerDialog<CMagCalcDialog>(*p.frame, Cmd::MagnitudeCalculator, [&](CMagCalcDialog* d) {
            auto field = [d](const char* name) { return d->findChild<QLineEdit*>(name); };
            // Started from the record: its correction and sensitivity; a velocity sensor's counts
            // give no displacement; the distance is the window's hypocentral one.
            EXPECT_EQ(d->windowTitle(), "Magnitude Calculator");
            EXPECT_EQ(field("correction")->text(), "0.1");
            EXPECT_EQ(field("sensitivity")->text(), "1.5e-07");
            EXPECT_EQ(field("displacement")->text(), "");
            const views::Readout r = w->session().readout();
            ASSERT_TRUE(r.found);
            EXPECT_EQ(field("km")->text().toStdString(), format("%-4.6g", r.hypocentralKm));
            EXPECT_EQ(field("msPeriod")->text(), "20");
            QPushButton *calculate = nullptr, *clear = nullptr;
            for (QPushButton* b : d->findChildren<QPushButton*>()) {
                if (b->text() == "&Calculate") calculate = b;
                if (b->text() == "C&lear") clear = b;
            }
            ASSERT_TRUE(calculate && clear);
            QTest::mouseClick(clear, Qt::LeftButton);
            EXPECT_EQ(field("correction")->text(), "");
            field("msPeriod")->setText("20");
            field("mbPeriod")->setText("1");
            for (const Step& s : steps) {
                for (const auto& [name, text] : s.typed) {
                    field(name)->clear();
                    QTest::keyClicks(field(name), text);
                }
                QTest::mouseClick(calculate, Qt::LeftButton);
                for (const auto& [name, text] : s.shown)
                    EXPECT_EQ(field(name)->text().toStdString(), text)
                        << name << " after " << s.typed[0].first;
            }
            EXPECT_TRUE(field("ms")->isEnabled());
            saveScreenshot(d, "magnitude_calculator.png");
            d->reject();
        });
    EXPECT_TRUE(shown);
    EXPECT_FALSE(w->doc().anyRecordModified());
}

} // namespace
} // namespace tlx::app

namespace tlx::app {
namespace {

// The burst is a decaying 9 rad/s sine: its period, 0.698 s, is a body-wave period and no
// surface-wave one. Shown from 22 s on, past the burst's abrupt onset.
TEST(GuiMagnitudeCalculator, PeriodCommandsMeasureTheLargestWave) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    views::EqViewModel& m = w->view()->model();
    m.setSpan(8);
    m.scrollTo(22);
    p.frame->run(Cmd::MbPeriod);
    EXPECT_NEAR(m.mbPeriod(), 2 * M_PI / 9, 0.03);
    p.frame->run(Cmd::MsPeriod);
    EXPECT_EQ(m.msPeriod(), 20);
    // The calculator starts from the window's periods.
    QTimer::singleShot(0, [&] {
        auto* d = QApplication::activeModalWidget();
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->findChild<QLineEdit*>("mbPeriod")->text(), "0.7");
        d->close();
    });
    p.frame->run(Cmd::MagnitudeCalculator);
}

} // namespace
} // namespace tlx::app
