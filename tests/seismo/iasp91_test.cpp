#include "seismo/extra_phases.h"
#include "seismo/iasp91.h"
#include "seismo/phase_control.h"
#include "seismo_test_support.h"

#include "core/file_io.h"
#include "core/ini_profile.h"
#include "core/messages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace tlx {
namespace {

// An iasp91.dat image: names, grid and times[p][i][k].
std::vector<std::uint8_t> makeIasp91(const std::vector<std::string>& names, int nx, int nh, int dx, int dh,
                                     const std::vector<float>& times) {
    std::vector<std::uint8_t> out;
    auto put = [&](const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    };
    const std::int32_t head[5] = {static_cast<std::int32_t>(names.size()), nx, nh, dx, dh};
    put(head, sizeof head);
    for (const std::string& n : names) {
        char field[10] = {};
        std::memcpy(field, n.data(), std::min<std::size_t>(n.size(), 9));
        put(field, sizeof field);
    }
    put(times.data(), times.size() * sizeof(float));
    return out;
}

// Three phases on a 0..30 deg (step 10) by 0..20 km (step 10) grid. P = 10 s/deg + depth/10,
// S = 20 s/deg + depth/5, X exists only at 10 deg and 20 deg of the 10 km row.
Iasp91Tables smallModel() {
    std::vector<float> t;
    for (int p = 0; p < 3; ++p)
        for (int i = 0; i < 4; ++i)
            for (int k = 0; k < 3; ++k) {
                const float x = static_cast<float>(i * 10), h = static_cast<float>(k * 10);
                if (p == 0) t.push_back(10 * x + h / 10);
                if (p == 1) t.push_back(20 * x + h / 5);
                if (p == 2) t.push_back(k == 1 && (i == 1 || i == 2) ? 100.0f * i : -1.0f);
            }
    Iasp91Tables m;
    EXPECT_TRUE(m.parse(makeIasp91({"P", "S", "X"}, 4, 3, 10, 10, t)));
    return m;
}

TEST(Iasp91Lookup, GridRules) {
    const Iasp91Tables m = smallModel();
    struct Case {
        const char* what;
        int phase;
        double depth, x, expected;
    } cases[] = {
        {"on the grid", 0, 10, 20, 201},
        {"between distances", 0, 0, 15, 150},
        {"between depths", 1, 15, 10, 203},
        {"between both", 0, 5, 25, 250.5},
        {"last distance", 0, 0, 30, 300},
        {"beyond the last distance", 0, 0, 30.01, -1},
        {"last depth row", 0, 20, 10, 102},
        {"below the last depth row", 0, 30, 10, -1},
        {"negative distance", 0, 0, -1, -1},
        {"negative depth", 0, -5, 10, -1},
        {"stored value, no neighbour needed", 2, 10, 10, 100},
        {"negative neighbour distance", 2, 10, 25, -1},
        {"lower row missing", 2, 5, 15, -1},
        {"upper row missing keeps the row above", 2, 15, 15, 150},
        {"unknown phase", 3, 0, 10, -1},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(m.iasp91Time(c.phase, c.depth, c.x), c.expected, 1e-4) << c.what;
    EXPECT_EQ(m.largestDepth(), 30);
    EXPECT_EQ(m.phaseIndex("S"), 1);
}

TEST(Iasp91Lookup, RejectsDamagedFiles) {
    const std::vector<float> t(3 * 4 * 3, 1.0f);
    Iasp91Tables m;
    auto image = makeIasp91({"P", "S", "X"}, 4, 3, 10, 10, t);
    image.pop_back();
    EXPECT_FALSE(m.parse(image)) << "short file";
    EXPECT_FALSE(m.parse(makeIasp91({"P", "Q", "X"}, 4, 3, 10, 10, t))) << "no S";
    auto huge = makeIasp91({"P", "S", "X"}, 4, 3, 10, 10, t);
    const std::int32_t big = 0x7fffffff;
    std::memcpy(&huge[4], &big, 4);
    EXPECT_FALSE(m.parse(huge)) << "count beyond the file";
    EXPECT_FALSE(m.available());
    EXPECT_FALSE(m.parse(makeIasp91({"P", "S", "X"}, 4, 3, 0, 10, t))) << "zero step";
}

TEST(Iasp91Lookup, SpTableAndModeInTheTravelTimes) {
    const Iasp91Tables m = smallModel();
    CTravelTm tm;
    tm.setIasp91(&m);
    TableSettings settings;
    settings.useTable = kIasp91;
    settings.depth = 10;
    WindowTravelTimes w = tm.newWindow(settings);
    ASSERT_EQ(w.useTable, kIasp91);
    ASSERT_EQ(w.sp.size(), 4u);
    EXPECT_EQ(w.sp[2].distance, 2000);
    EXPECT_EQ(w.sp[2].pTime, 201000);
    EXPECT_EQ(w.sp[2].sp, 201000); // 402 - 201 s
    const SpDistance d = distanceFromSp(w, 150000);
    EXPECT_NEAR(d.degrees, 14.9, 1e-9);
    EXPECT_EQ(d.pTimeMs, 150000);
    const PredictedArrivals a = tm.predictArrivals(w, 1000, 20.0, kIasp91);
    EXPECT_EQ(a.pMs, 202000);
    EXPECT_EQ(a.sMs, 403000);
}

// Published IASP91 times, all within 1 s (P, S) or 2 s (other phases) of the shipped file:
//  [T] Java TauP taup_time, iasp91, h 10 km, 35 deg (ObsPy test data taup_time_-h_10_-ph_ttall_-deg_35);
//  [J] Java TauP test output for iasp91 (ObsPy java_tauptime_testoutput), h 0 and 100 km;
//  [I] iaspei-tau ttimes, iasp91, h 611 km, 52.474 deg (ObsPy sample_ttimes_iasp91.lst).
TEST(Iasp91Shipped, MatchesPublishedTimes) {
    Iasp91Tables m;
    ASSERT_TRUE(m.loadIasp91({test::shippedData()}));
    struct Ref {
        const char* phase;
        double depth, x, seconds;
    } refs[] = {
        {"P", 10, 35, 412.43},         {"pP", 10, 35, 415.51},          {"sP", 10, 35, 416.85},
        {"PP", 10, 35, 489.44}, // T
        {"PcP", 10, 35, 564.28},       {"S", 10, 35, 745.29},           {"sS", 10, 35, 750.56},
        {"ScP", 10, 35, 789.88},                                                                  // T
        {"SS", 10, 35, 881.90},        {"PKiKP", 10, 35, 1006.36},      {"ScS", 10, 35, 1033.65}, // T
        {"P", 0, 45, 496.97},          {"PP", 0, 45, 602.07},           {"S", 0, 45, 897.40},
        {"PcP", 0, 45, 597.93}, // J
        {"ScP", 0, 45, 831.71},        {"PKiKP", 0, 45, 1016.71},       {"ScS", 0, 45, 1095.71},
        {"SS", 0, 45, 1100.43}, // J
        {"P", 0, 90, 781.33},          {"S", 0, 90, 1435.77},           {"PP", 0, 90, 993.94},
        {"PcP", 0, 90, 782.40}, // J
        {"PKiKP", 0, 90, 1077.40},     {"SKS", 0, 90, 1412.95},         {"ScS", 0, 90, 1439.39},
        {"SS", 0, 90, 1794.80}, // J
        {"PKIKP", 0, 160, 1200.40},    {"PKP", 0, 160, 1240.24},        {"PP", 0, 160, 1462.41},
        {"SS", 0, 160, 2674.08},                                                                 // J
        {"PKIKP", 0, 180, 1212.08},    {"PP", 0, 180, 1562.67},         {"SS", 0, 180, 2871.53}, // J
        {"P", 100, 45, 485.21},        {"S", 100, 45, 876.83},          {"pP", 100, 45, 508.70},
        {"sP", 100, 45, 520.31},                                                                   // J
        {"PcP", 100, 45, 584.46},      {"sS", 100, 45, 917.93},         {"ScS", 100, 45, 1071.96}, // J
        {"pP", 100, 90, 794.50},       {"sP", 100, 90, 805.42},         {"SKS", 100, 90, 1389.09},
        {"sS", 100, 90, 1458.72},                                                                       // J
        {"PKIKP", 100, 160, 1186.61},  {"PKP", 100, 160, 1226.99},      {"PKIKP", 100, 180, 1198.25},   // J
        {"P", 611, 52.474, 497.464},   {"PcP", 611, 52.474, 557.336},   {"pP", 611, 52.474, 609.935},   // I
        {"PP", 611, 52.474, 625.524},  {"sP", 611, 52.474, 676.419},    {"ScP", 611, 52.474, 736.422},  // I
        {"S", 611, 52.474, 899.865},   {"PKiKP", 611, 52.474, 953.596}, {"ScS", 611, 52.474, 1022.932}, // I
        {"sS", 611, 52.474, 1103.276}, {"SS", 611, 52.474, 1131.376},                                   // I
    };
    for (const Ref& r : refs) {
        const int p = m.phaseIndex(r.phase);
        ASSERT_GE(p, 0) << r.phase;
        const bool direct = std::string(r.phase) == "P" || std::string(r.phase) == "S";
        EXPECT_NEAR(m.iasp91Time(p, r.depth, r.x), r.seconds, direct ? 1.0 : 2.0)
            << r.phase << " " << r.depth << " km " << r.x << " deg";
    }
    // phases that do not reach a distance are absent, not guessed
    EXPECT_EQ(m.iasp91Time(m.phaseIndex("PKIKP"), 0, 90), -1);
    EXPECT_EQ(m.iasp91Time(m.phaseIndex("P"), 0, 170), -1);
}

class ExtraPhasesTest : public testing::Test {
  protected:
    void SetUp() override {
        model_ = smallModel();
        tm_.setIasp91(&model_);
        std::ofstream(tables_ / "pkp.jb") << test::makeTableText(
            "n # PKP travel-time", {0, 10, 20}, {0, 10, 20}, {0, 100, 200, 0, 100, 200, 2, 102, 202});
        std::ofstream(tables_ / "iasp.jb") << test::makeTableText(
            "# IASPEI table: SKS x", {0, 10, 20}, {0, 10, 20}, {0, 50, 100, 0, 50, 100, 0, 50, 100});
        std::ofstream(tables_ / "notes.txt") << "just notes\n";
    }
    Iasp91Tables model_;
    CTravelTm tm_;
    test::TempDir tables_, program_, local_;
    RecordingMessages messages_;
};

TEST_F(ExtraPhasesTest, AddRefuseAndReuseSlots) {
    EXPECT_EQ(tm_.addPhase(tables_.path(), "X I91", messages_), CTravelTm::AddResult::Added);
    EXPECT_EQ(tm_.addPhase(tables_.path(), "X I91", messages_), CTravelTm::AddResult::Duplicate);
    EXPECT_EQ(tm_.addPhase(tables_.path(), "PKP.JB", messages_), CTravelTm::AddResult::Added);
    EXPECT_EQ(tm_.addPhase(tables_.path(), "pkp.jb", messages_), CTravelTm::AddResult::Duplicate);
    EXPECT_EQ(tm_.addPhase(tables_.path(), "nothing.jb", messages_), CTravelTm::AddResult::FileError);
    EXPECT_EQ(tm_.addPhase(tables_.path(), "Q I91", messages_), CTravelTm::AddResult::FileError);
    EXPECT_EQ(messages_.texts(), (std::vector<std::string>{"Phase already being displayed or used",
                                                           "Phase already being displayed or used",
                                                           "Can't Display New Phase: File Error",
                                                           "Can't Display New Phase: File Error"}));
    ASSERT_EQ(tm_.slots().size(), 7u); // the failed adds leave their slot empty
    EXPECT_EQ(tm_.slot(4).fileName, "X I91");
    EXPECT_EQ(tm_.slot(4).phaseIndex, 2);
    EXPECT_EQ(tm_.slot(5).phaseName, "PKP");
    EXPECT_TRUE(tm_.removePhase("X", true));
    EXPECT_FALSE(tm_.removePhase("PKP", true)) << "wrong kind";
    EXPECT_EQ(tm_.addPhase(tables_.path(), "S I91", messages_), CTravelTm::AddResult::Added);
    EXPECT_EQ(tm_.slot(4).phaseName, "S");
    EXPECT_EQ(tm_.phasesText(), "S I91\nPKP.JB\n");
}

TEST_F(ExtraPhasesTest, PhasesFileSearchOrderAndRoundTrip) {
    tm_.readPhases(local_.path(), program_.path(), tables_.path(), messages_);
    EXPECT_EQ(messages_.texts(), std::vector<std::string>{"File PHASES.DAT not found!"});
    messages_.clear();
    std::ofstream(program_ / "phases.dat") << "! shipped default\nS I91\n";
    std::ofstream(local_ / "PHASES.DAT") << "! comment\n\nX I91 the rest is ignored\npkp.jb\n"
                                         << std::string(100, 'a') << " I91\n";
    EXPECT_EQ(tm_.readPhases(local_.path(), program_.path(), tables_.path(), messages_), 2)
        << "the user's list written last time wins over the shipped one";
    ASSERT_EQ(messages_.texts().size(), 1u) << "the over-long line is cut and names no phase";
    ASSERT_TRUE(tm_.writePhases(local_.path()));
    std::string text;
    ASSERT_TRUE(readTextFile(local_ / "phases.dat", text));
    EXPECT_EQ(text, "X I91\npkp.jb\n");
}

TEST_F(ExtraPhasesTest, Iasp91LinesWaitForTheModel) {
    CTravelTm tm;
    std::ofstream(local_ / "phases.dat") << "X I91\nNOPE I91\npkp.jb\n";
    EXPECT_EQ(tm.readPhases(local_.path(), program_.path(), tables_.path(), messages_), 1);
    EXPECT_TRUE(messages_.texts().empty());
    EXPECT_EQ(tm.phasesText(), "X I91\nNOPE I91\npkp.jb\n") << "not lost while the model is unloaded";
    EXPECT_EQ(tm.phaseArrival(WindowTravelTimes(), 0, 15.0, 4), -1);
    tm.setIasp91(&model_);
    EXPECT_EQ(tm.phasesText(), "X I91\npkp.jb\n");
    EXPECT_EQ(tm.slot(4).phaseIndex, 2);
    WindowTravelTimes w;
    w.teleDepth = 10;
    EXPECT_EQ(tm.phaseArrival(w, 0, 15.0, 4), 150000);
}

TEST_F(ExtraPhasesTest, ArrivalsAcrossMidnightAndPhaseTimes) {
    tm_.addPhase(tables_.path(), "X I91", messages_);
    tm_.addPhase(tables_.path(), "pkp.jb", messages_);
    tm_.addPhase(tables_.path(), "iasp.jb", messages_);
    WindowTravelTimes w;
    w.useTable = kTeleseismic;
    w.teleDepth = 10;
    const int nearMidnight = kDayMs - 50000;
    EXPECT_EQ(tm_.phaseArrival(w, 1000, 15.0, 4), 1000 + 150000);
    EXPECT_EQ(tm_.phaseArrival(w, nearMidnight, 15.0, 4), 100000);
    EXPECT_EQ(tm_.phaseArrival(w, nearMidnight, 5.0, 5), 0) << "reaching 24:00:00.000 wraps";
    EXPECT_EQ(tm_.phaseArrival(w, 0, 30.0, 4), -1);
    EXPECT_EQ(tm_.phaseArrival(w, 0, 15.0, 9), -1);
    EXPECT_EQ(phaseMarkerLabel(tm_.slot(6)).text, "SKS (I91)");

    const std::vector<PhaseTimeRow> rows =
        phaseTimeRows(tm_, w, nearMidnight, 5.0, nearMidnight + 45000, 10, false);
    ASSERT_EQ(rows.size(), 5u);
    const char* names[] = {"Origin", "SKS (I91)", "P", "PKP", "S"};
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].name, names[i]);
    EXPECT_EQ(rows[1].afterOrigin, "25.00");
    EXPECT_EQ(rows[3].afterOrigin, "50.00");
    EXPECT_EQ(rows[4].afterOrigin, "50.01") << "a time before the origin is the next day";
    EXPECT_EQ(timeOfDayText(rows[0].timeOfDayMs), "23:59:10.00");
}

TEST_F(ExtraPhasesTest, PhaseControlDialog) {
    IniProfile settings(local_ / "TELLURIX.INI");
    PhaseControl dlg(tm_, tables_.path(), false);
    const std::vector<PhaseCandidate> files = dlg.candidates();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].label, "iasp.jb  SKS-(IASP91)");
    EXPECT_EQ(dlg.candidateFileText({0, 1}), "???");
    EXPECT_EQ(dlg.candidateFileText({}), "");
    EXPECT_EQ(dlg.add({1}, messages_), 1);
    dlg.setIasp91Kind(true);
    EXPECT_TRUE(dlg.selected().empty()) << "table phases are not of this kind";
    EXPECT_EQ(dlg.add({0, 2}, messages_), 2);
    EXPECT_EQ(dlg.selected(), (std::vector<std::string>{"P", "X"}));
    ASSERT_EQ(dlg.candidates().size(), 1u);
    EXPECT_EQ(dlg.candidates()[0].label, "S");
    EXPECT_EQ(dlg.selectedFileText({1}), "IASP91.DAT");
    EXPECT_EQ(dlg.remove({0}), 1);
    EXPECT_TRUE(dlg.cancelNeedsReload());
    EXPECT_TRUE(dlg.ok(settings, local_.path()));
    EXPECT_EQ(settings.getInt("Tables", "I91Phases", 0), 1);
    std::string text;
    ASSERT_TRUE(readTextFile(local_ / "phases.dat", text));
    EXPECT_EQ(text, "pkp.jb\nX I91\n");
}

} // namespace
} // namespace tlx
