// "Phase Times" from the View menu: the rows of the window's P-S distance and the shown extra
// phases, sorted by their time after the origin; the window keeps its place.
#include "app/phase_times_window.h"
#include "core/ini_profile.h"
#include "core/text.h"
#include "program_fixture.h"

#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

TEST(GuiPhaseTimes, RowsFollowTheWindowDistanceAndTheWindowKeepsItsPlace) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    CTravelTm& travel = p.ctx.seismo.travel;
    for (const char* phase : {"PcP I91", "ScS I91"})
        ASSERT_EQ(travel.addPhase(p.dir.path(), phase, p.ctx.messages), CTravelTm::AddResult::Added);
    p.ctx.seismo.settings.i91Phases = 1;
    const views::Readout r = w->session().readout();
    ASSERT_TRUE(r.found && r.pMs && r.sMs);

    p.frame->run(Cmd::PhaseTimes);
    auto* times = p.frame->findChild<CPhaseTimes*>();
    ASSERT_NE(times, nullptr);
    EXPECT_TRUE(times->isVisible());
    auto* table = times->findChild<QTableWidget*>();
    auto cell = [table](int row, int col) { return table->item(row, col)->text().toStdString(); };
    ASSERT_EQ(table->rowCount(), 5);
    EXPECT_EQ(cell(0, 0), "Origin");
    EXPECT_EQ(cell(0, 1), timeOfDayText(static_cast<int>(r.originMs)));
    std::vector<std::string> names;
    double last = 0;
    for (int row = 1; row < 5; ++row) {
        names.push_back(cell(row, 0));
        const double after = std::stod(cell(row, 2));
        EXPECT_GE(after, last) << cell(row, 0);
        last = after;
        if (cell(row, 0) == "P") {
            EXPECT_NEAR(after, r.pTravelSeconds, 0.011);
            EXPECT_EQ(cell(row, 1), timeOfDayText(static_cast<int>(*r.pMs)));
        }
        if (cell(row, 0) == "PcP") {
            const int arrival = travel.phaseArrival(w->session().travelTimes(), static_cast<int>(r.originMs),
                                                    r.degrees, CTravelTm::kFirstExtra);
            EXPECT_EQ(cell(row, 1), timeOfDayText(arrival));
        }
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"P", "PcP", "S", "ScS"}));

    // Moving the S marker changes the distance: the open window follows.
    const std::string originBefore = cell(0, 1);
    QTest::keyClick(w->view(), Qt::Key_S);
    QTest::keyClick(w->view(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_NE(cell(0, 1), originBefore);
    EXPECT_EQ(cell(0, 1), timeOfDayText(static_cast<int>(w->session().readout().originMs)));

    // Hidden, it keeps its place for the next time.
    times->setGeometry(40, 50, 300, 200);
    times->hide();
    const QRect before = times->geometry();
    CPhaseTimes again(p.ctx.ini);
    EXPECT_EQ(again.geometry(), before);
}

} // namespace
} // namespace tlx::app

namespace tlx::app {
namespace {

// IASP91 P and S as extra phases: their marks fall where the P and S markers are (the window's
// own tables and IASP91 agree within a few tenths of a second this close), only with Display on.
TEST(GuiPhaseTimes, PhaseMarksDrawnAtTheArrivalsWhenDisplayed) {
    Program p;
    EventWindow* w = p.open({p.writeEvent("a.svx")});
    for (const char* phase : {"P I91", "S I91"})
        ASSERT_EQ(p.ctx.seismo.travel.addPhase(p.dir.path(), phase, p.ctx.messages),
                  CTravelTm::AddResult::Added);
    p.ctx.seismo.settings.i91Phases = 1;
    const views::EqViewModel& m = w->view()->model();
    auto marks = [&] {
        std::vector<std::pair<std::string, std::int64_t>> out;
        const views::Scene scene = m.scene();
        for (const views::TextItem& t : scene.texts)
            if (t.role == views::Role::Phases) out.push_back({t.text, m.columnTimeMs(t.x - 2)});
        return out;
    };
    EXPECT_TRUE(marks().empty());
    p.frame->run(Cmd::PhaseDisplay);
    EXPECT_TRUE(p.frame->action(Cmd::PhaseDisplay)->isChecked());
    EXPECT_EQ(IniProfile(p.dir / "TELLURIX.INI").getString("Tables", "Open"), "1");
    const views::Readout r = w->session().readout();
    const auto shown = marks();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].first, "P");
    EXPECT_NEAR(static_cast<double>(shown[0].second), static_cast<double>(*r.pMs), 400);
    EXPECT_EQ(shown[1].first, "S");
    EXPECT_NEAR(static_cast<double>(shown[1].second), static_cast<double>(*r.sMs), 400);
    p.frame->run(Cmd::PhaseDisplay);
    EXPECT_TRUE(marks().empty());
}

} // namespace
} // namespace tlx::app
