#include "seismo/tables_dialog.h"
#include "seismo/travel_times.h"
#include "seismo_test_support.h"

#include "core/file_io.h"
#include "core/ini_profile.h"
#include "core/messages.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tlx {
namespace {

using test::makeTableText;

// A made-up earth where P travels 10 s and S 20 s per degree at the surface, a little faster deeper.
void writeLinearTables(const std::filesystem::path& dir, const std::string& p, const std::string& s,
                       double maxDist) {
    const std::vector<double> depths{0, 10, 20};
    std::vector<double> dists, tp, ts;
    for (double x = 0; x <= maxDist + 1e-9; x += 1)
        dists.push_back(x);
    for (double h : depths)
        for (double x : dists) {
            tp.push_back(x * (10 - h / 20));
            ts.push_back(x * (20 - h / 20));
        }
    std::ofstream(dir / p) << makeTableText("n # P travel-time test", depths, dists, tp);
    std::ofstream(dir / s) << makeTableText("n # S travel-time test", depths, dists, ts);
}

class TravelTablesTest : public testing::Test {
  protected:
    void SetUp() override {
        writeLinearTables(dir_.path(), "P.JB", "S.JB", 100);
        writeLinearTables(dir_.path(), "p_b.jb", "s_b.jb", 10);
    }
    test::TempDir dir_;
    RecordingMessages messages_;
};

TEST_F(TravelTablesTest, LoadsFourSlotsWhateverTheCase) {
    CTravelTm tm;
    ASSERT_TRUE(tm.load(dir_.path(), TableSettings(), messages_));
    EXPECT_TRUE(messages_.texts().empty());
    ASSERT_EQ(tm.slots().size(), 4u);
    EXPECT_EQ(tm.slot(CTravelTm::kRegP).fileName, "p_b.jb");
    EXPECT_EQ(tm.slot(CTravelTm::kTeleS).phaseName, "S");
    EXPECT_EQ(largestDistanceText(tm.slot(0)), "100.00deg 11118km 6908mi");
    EXPECT_EQ(largestDepthText(tm.slot(0)), "20 km");
}

TEST_F(TravelTablesTest, LoadFailuresGiveTheirMessages) {
    std::ofstream(dir_ / "bad.jb") << "n # S travel-time\n2\n";
    TableSettings s;
    s.sFile = "bad.jb";
    s.pFileReg = "missing.jb";
    CTravelTm tm;
    EXPECT_FALSE(tm.load(dir_.path(), s, messages_));
    EXPECT_EQ(messages_.texts(),
              (std::vector<std::string>{"Error Loading Teleseismic JB-Tables P.JB and bad.jb!",
                                        "Error Loading Regional JB-Tables missing.jb and S_b.JB!"}));
    EXPECT_TRUE(tm.slot(CTravelTm::kTeleS).empty());
    EXPECT_TRUE(tm.slot(CTravelTm::kRegP).empty());
    // after a teleseismic failure new windows take no tables and find no distance
    const WindowTravelTimes w = tm.newWindow(s);
    EXPECT_FALSE(w.teleLoaded);
    EXPECT_TRUE(w.tables[CTravelTm::kTeleP].empty());
    EXPECT_FALSE(distanceFromSp(w, 50000).found());
}

TEST(TableSettingsTest, ReadsDepthsAsWholeKmAndFallsBackWithoutIasp91) {
    IniProfile ini;
    ini.loadText("[Tables]\nDepth=3350\nRegDepth=1299\nUseTable=2\nI91Phases=1\nP-File=p2.jb\n");
    TableSettings s = TableSettings::read(ini, false);
    EXPECT_EQ(s.depth, 33);
    EXPECT_EQ(s.regDepth, 12);
    EXPECT_EQ(s.useTable, kTeleseismic);
    EXPECT_EQ(s.i91Phases, 0);
    EXPECT_EQ(s.pFile, "p2.jb");
    EXPECT_EQ(s.sFile, "S.JB");
    s = TableSettings::read(ini, true);
    EXPECT_EQ(s.useTable, kIasp91);
    EXPECT_EQ(s.i91Phases, 1);
    IniProfile empty;
    s = TableSettings::read(empty, true);
    EXPECT_EQ(s.depth, 33);
    EXPECT_EQ(s.regDepth, 5);
    EXPECT_EQ(s.useTable, kTeleseismic);
}

TEST_F(TravelTablesTest, SpLookupEdgeCases) {
    CTravelTm tm;
    ASSERT_TRUE(tm.load(dir_.path(), TableSettings(), messages_));
    TableSettings settings;
    settings.depth = 0;
    WindowTravelTimes w = tm.newWindow(settings);
    ASSERT_EQ(w.sp.size(), 101u);
    // surface: S-P is 10 s per degree; an S-P equal to an entry's gives that entry's distance
    SpDistance d = distanceFromSp(w, 30000);
    EXPECT_DOUBLE_EQ(d.degrees, 3.0);
    EXPECT_EQ(d.pTimeMs, 30000);
    d = distanceFromSp(w, 35000);
    EXPECT_NEAR(d.degrees, 3.5, 1e-12);
    EXPECT_EQ(d.pTimeMs, 35000);
    EXPECT_FALSE(distanceFromSp(w, 1000001).found()); // beyond the last entry
    EXPECT_TRUE(distanceFromSp(w, 1000000).found());
    EXPECT_FALSE(distanceFromSp(w, 0).found());
    EXPECT_FALSE(distanceFromSp(w, -5).found());
    // a depth beyond the table is lowered to its last depth, and the window keeps the lowered one
    ASSERT_TRUE(tm.buildSpTable(w, kTeleseismic, 5, 500));
    EXPECT_EQ(w.teleDepth, 20);
    EXPECT_EQ(w.spDepth, 20);
    EXPECT_NEAR(distanceFromSp(w, 10000).degrees, 1.0, 1e-12);
    // regional mode uses the regional pair and depth
    ASSERT_TRUE(tm.buildSpTable(w, kRegional, 10, 500));
    EXPECT_EQ(w.sp.size(), 11u);
    EXPECT_FALSE(tm.buildSpTable(w, kIasp91, 10, 33)); // no IASP91 model
    EXPECT_TRUE(w.sp.empty());
}

TEST_F(TravelTablesTest, SpTableWithUnknownPTimes) {
    // P has no value at 4 and 5 degrees: at 4 the neighbouring column's time stands in, at 5
    // both columns lack one, so that entry's S-P is 0 and no distance comes from it
    std::ofstream(dir_ / "P.JB") << makeTableText(
        "n # P travel-time", {0, 10, 20}, {0, 1, 2, 3, 4, 5},
        {0, 10, 20, 30, -1, -1, 0, 10, 20, 30, -1, -1, 0, 10, 20, 30, -1, -1});
    CTravelTm tm;
    ASSERT_TRUE(tm.load(dir_.path(), TableSettings(), messages_));
    TableSettings s;
    s.depth = 0;
    const WindowTravelTimes w = tm.newWindow(s);
    EXPECT_EQ(w.sp[4].pTime, 30000);
    EXPECT_EQ(w.sp[4].sp, 50000);
    EXPECT_EQ(w.sp[5].sp, 0);
    EXPECT_EQ(w.sp[5].pTime, -1);
    EXPECT_NEAR(distanceFromSp(w, 25000).degrees, 2.5, 1e-12);
    const SpDistance d = distanceFromSp(w, 40000);
    EXPECT_NEAR(d.degrees, 3.5, 1e-12);
    EXPECT_EQ(d.pTimeMs, 30000); // equal neighbouring P times: the lower one
    EXPECT_FALSE(distanceFromSp(w, 50001).found());
}

TEST_F(TravelTablesTest, PredictedArrivals) {
    CTravelTm tm;
    ASSERT_TRUE(tm.load(dir_.path(), TableSettings(), messages_));
    TableSettings s;
    s.depth = 0;
    s.regDepth = 0;
    WindowTravelTimes w = tm.newWindow(s);
    PredictedArrivals a = tm.predictArrivals(w, 1000, 2.5, kTeleseismic);
    EXPECT_EQ(a.pMs, 26000);
    EXPECT_EQ(a.sMs, 51000);
    // arrivals after midnight wrap into the day
    a = tm.predictArrivals(w, kDayMs - 10000, 2.5, kTeleseismic);
    EXPECT_EQ(a.pMs, 15000);
    EXPECT_EQ(a.sMs, 40000);
    EXPECT_FALSE(tm.predictArrivals(w, 0, 0, kTeleseismic).ok());
    EXPECT_FALSE(tm.predictArrivals(w, 0, 150, kTeleseismic).ok());
    EXPECT_FALSE(tm.predictArrivals(w, 0, 10, kIasp91).ok());
}

TEST_F(TravelTablesTest, EventChoosesModeAndDepthOnce) {
    CTravelTm tm;
    ASSERT_TRUE(tm.load(dir_.path(), TableSettings(), messages_));
    WindowTravelTimes w = tm.newWindow(TableSettings());
    PredictedArrivals a = tm.predictFromEvent(w, 0, 1.5, 10);
    EXPECT_EQ(w.useTable, kRegional);
    EXPECT_EQ(w.regDepth, 10);
    EXPECT_EQ(w.teleDepth, 10);
    EXPECT_EQ(a.pMs, 14250); // 1.5 degrees at 10 s/deg less 0.5 s/deg at 10 km
    // the next event keeps the window's choice
    tm.predictFromEvent(w, 0, 20, 50);
    EXPECT_EQ(w.regDepth, 10);
    // the regional tables end at 10 degrees: the teleseismic pair takes over and stays
    WindowTravelTimes far = tm.newWindow(TableSettings());
    far.useTable = kRegional;
    far.eventApplied = true;
    a = tm.predictArrivals(far, 0, 12, kRegional);
    EXPECT_FALSE(a.ok());
    a = tm.predictFromEvent(far, 0, 12, 0);
    EXPECT_TRUE(a.ok());
    EXPECT_EQ(far.useTable, kTeleseismic);
    WindowTravelTimes tele = tm.newWindow(TableSettings());
    tm.predictFromEvent(tele, 0, 1.51, 0);
    EXPECT_EQ(tele.useTable, kTeleseismic);
    tele = tm.newWindow(TableSettings());
    tm.predictFromEvent(tele, 0, 120, 0);
    EXPECT_EQ(tele.useTable, kTeleseismic); // IASP91 only when its model is there
}

TEST_F(TravelTablesTest, TablesDialogLogic) {
    CTravelTm tm;
    ASSERT_TRUE(tm.load(dir_.path(), TableSettings(), messages_));
    TableSettings settings;
    WindowTravelTimes w = tm.newWindow(settings);
    TravelTimeTablesDialog dlg(tm, w, settings, dir_.path());
    EXPECT_FALSE(dlg.iasp91Enabled());
    EXPECT_EQ(dlg.fileName(2), "p_b.jb");
    EXPECT_EQ(dlg.depth(), 20); // 33 km lowered to the table's last depth
    EXPECT_FALSE(dlg.changed());
    dlg.setMode(kIasp91);
    EXPECT_EQ(dlg.mode(), kTeleseismic);
    dlg.setMode(kRegional);
    EXPECT_EQ(dlg.depthRange().pageStep, 5);
    EXPECT_EQ(dlg.depthRange().maximum, 20);
    dlg.setDepth(50);
    EXPECT_EQ(dlg.depth(), 20);
    dlg.setDepth(7);
    // a broken file keeps the old table
    std::ofstream(dir_ / "s_new.jb") << "junk";
    EXPECT_FALSE(dlg.changeTable(1, "s_new.jb", messages_));
    EXPECT_TRUE(messages_.contains("Error With File s_new.jb"));
    EXPECT_EQ(dlg.fileName(1), "S.JB");
    writeLinearTables(dir_.path(), "p_x.jb", "s_x.jb", 50);
    ASSERT_TRUE(dlg.changeTable(1, "S_X.JB", messages_));
    EXPECT_EQ(dlg.fileName(1), "s_x.jb");
    EXPECT_EQ(dlg.distanceText(1), "50.00deg 5559km 3454mi");
    EXPECT_TRUE(dlg.changed());
    dlg.saveAsDefault = true;
    IniProfile ini(dir_ / "TELLURIX.INI");
    TableSettings saved = settings;
    ASSERT_TRUE(dlg.accept(w, saved, &ini));
    EXPECT_EQ(w.useTable, kRegional);
    EXPECT_EQ(w.regDepth, 7);
    EXPECT_EQ(w.tables[1].fileName, "s_x.jb");
    EXPECT_EQ(w.spDepth, 7);
    IniProfile reread(dir_ / "TELLURIX.INI");
    EXPECT_EQ(reread.getString("Tables", "S-File"), "s_x.jb");
    EXPECT_EQ(reread.getString("Tables", "RegDepth"), "700");
    EXPECT_EQ(reread.getString("Tables", "Depth"), "2000");
    EXPECT_EQ(reread.getString("Tables", "UseTable"), "0");
    EXPECT_EQ(TableSettings::read(reread, false).regDepth, 7);
    // the same choice for another window
    WindowTravelTimes other = tm.newWindow(settings);
    dlg.applyTo(other);
    EXPECT_EQ(other.useTable, kRegional);
    EXPECT_EQ(other.tables[1].fileName, "s_x.jb");
    EXPECT_EQ(TravelTimeTablesDialog::browsePattern(true), std::string("p*.jb,p*.i91"));
}

} // namespace
} // namespace tlx
