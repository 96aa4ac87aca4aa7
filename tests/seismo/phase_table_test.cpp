#include "seismo/phase_table.h"
#include "seismo_test_support.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

using test::makeTableText;

// Depth rows 0, 10 and 20 km (the last a copy of the second), distances 1, 2 and 4 degrees.
std::string smallTable(std::vector<double> times) {
    times.insert(times.end(), times.begin() + 3, times.begin() + 6);
    return makeTableText("n # P travel-time table", {0, 10, 20}, {1, 2, 4}, times);
}

// Three rows from two: the third (20 km) repeats the second.
std::string threeRows(const std::vector<double>& distances, std::vector<double> times) {
    const std::size_t n = distances.size();
    times.insert(times.end(), times.begin() + static_cast<long>(n), times.begin() + static_cast<long>(2 * n));
    return makeTableText("n # P travel-time", {0, 10, 20}, distances, times);
}

TEST(PhaseTableText, ReadsHeaderGridAndScales) {
    PhaseTable t;
    ASSERT_TRUE(parsePhaseTable(smallTable({10, 20, 40, 9, 18.5, -1}), t));
    EXPECT_EQ(t.phaseName, "P");
    EXPECT_EQ(t.depthCount, 3);
    EXPECT_EQ(t.distanceCount, 3);
    EXPECT_EQ(t.depths, (std::vector<int>{0, 1000, 2000}));
    EXPECT_EQ(t.distances, (std::vector<int>{100, 200, 400}));
    EXPECT_EQ(t.times, (std::vector<int>{10000, 20000, 40000, 9000, 18500, -1, 9000, 18500, -1}));
    EXPECT_EQ(t.largestDistance, 400);
    EXPECT_EQ(t.largestDepth, 20);
}

TEST(PhaseTableText, TitleRules) {
    struct Case {
        const char* header;
        const char* name; // nullptr: the file fails
    } cases[] = {
        {"n # P travel-time table", "P"},
        {"# # PKP ab travel-time", "PKPab"},
        {"skipped line\nanother\nn # S travel-time", "S"},
        {"one\ntwo\nthree\nn # S travel-time", nullptr}, // no title within three lines
        {"n # S some table", nullptr},                   // neither word
        {"# IASPEI 1991 tables:  \tPcP  more", "PcP-(IASP91)"},
        {"n # ABCDEFGHIJKLMNOPQRSTUVWXYZ travel-time", "ABCDEFGHIJKLMNOPQRS"}, // at most 19
    };
    for (const Case& c : cases) {
        PhaseTable t;
        const bool ok =
            parsePhaseTable(makeTableText(c.header, {0, 5, 10}, {0, 1, 2}, std::vector<double>(9, 1)), t);
        EXPECT_EQ(ok, c.name != nullptr) << c.header;
        if (ok && c.name) {
            EXPECT_EQ(t.phaseName, c.name) << c.header;
        }
        if (!ok) {
            EXPECT_TRUE(t.empty());
        }
    }
}

TEST(PhaseTableText, RefusesBrokenGrids) {
    const std::string good = smallTable({1, 2, 3, 4, 5, 6});
    const std::pair<std::string, std::string> broken[] = {
        {"table\n3\n", "table\n2\n"},   // too few depths
        {"table\n3\n", "table\n200\n"}, // too many depths
        {" \n3\n", " \n1000\n"},        // too many distances
        {"# depth 10\n", "depth 10\n"}, // row header without '#'
        {"6.000\n", ""},                // file ends early
        {"table\n3\n", "table\n-5\n"},
        {"2.000\n", "99999999999\n"}, // a time that overflows
    };
    for (const auto& [from, to] : broken) {
        std::string text = good;
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        PhaseTable t;
        EXPECT_FALSE(parsePhaseTable(text, t)) << from << " -> " << to;
        EXPECT_TRUE(t.empty());
    }
}

TEST(PhaseTableText, NumbersSpreadOverLinesAndLongLinesSplit) {
    // depths on two lines, distances all on one; a 200-character line is read as two lines
    std::string text = "n # P travel-time\n3\n0 5\n10\n3\n1 2 3\n";
    text += "# " + std::string(200, 'x') + "\n";
    PhaseTable t;
    EXPECT_FALSE(parsePhaseTable(text + "1\n2\n3\n", t)); // the line's rest is taken as the first time
    text = "n # P travel-time\n3\n0 5\n10\n3\n1 2 3\n# row\n1\n2\n3\n# row\n4\n5\n6\n# row\n7\n8\n9\n";
    ASSERT_TRUE(parsePhaseTable(text, t));
    EXPECT_EQ(t.depths, (std::vector<int>{0, 500, 1000}));
    EXPECT_EQ(t.time(2, 2), 9000);
}

TEST(TravelTime, Interpolation) {
    PhaseTable t;
    ASSERT_TRUE(parsePhaseTable(smallTable({10, 20, 40, 30, 50, -1}), t));
    struct Case {
        double depth, x, expected;
    } cases[] = {
        {0, 2, 20},        // on a grid point
        {0, 3, 30},        // between columns
        {0, 1, 10},        // first column
        {0, 0.5, -1},      // below the first distance
        {0, 4.5, -1},      // beyond the last distance
        {5, 2, 35},        // between rows
        {2.5, 1.5, 21.25}, // both ways
        {-3, 2, 20},       // above the first row: that row only
        {20.01, 2, -1},    // deeper than the last row
        {10, 3, 50},       // one neighbour is -1: the other's time
        {5, 3, 40},        // lower row 30, upper row 50 (its -1 column skipped)
    };
    for (const Case& c : cases)
        EXPECT_NEAR(travelTime(c.depth, t, c.x), c.expected, 1e-9) << c.depth << " " << c.x;
    EXPECT_EQ(travelTime(0, PhaseTable(), 2), -1);
}

TEST(TravelTime, FirstColumnAndMissingRows) {
    PhaseTable t;
    // first distance 2 degrees: a line from the origin; the upper row lacks values at 2 and 4
    ASSERT_TRUE(parsePhaseTable(threeRows({2, 4, 6}, {20, 40, 60, -1, -1, 50}), t));
    EXPECT_NEAR(travelTime(0, t, 2.004), 20.04, 1e-9);
    EXPECT_EQ(travelTime(0, t, 1.99), -1);
    // both upper columns missing: the lower row's time stands
    EXPECT_NEAR(travelTime(5, t, 3), 30, 1e-9);
    // a lower row without a value leaves the upper row's time instead of mixing in -1
    ASSERT_TRUE(parsePhaseTable(threeRows({2, 4, 6}, {-1, -1, 60, 10, 30, 50}), t));
    EXPECT_NEAR(travelTime(5, t, 3), 20, 1e-9);
    // first distance 0: its time as is
    ASSERT_TRUE(parsePhaseTable(threeRows({0, 1, 2}, {0, 10, 20, 5, 15, 25}), t));
    EXPECT_NEAR(travelTime(10, t, 0), 5, 1e-9);
    EXPECT_NEAR(travelTime(5, t, 0.5), 7.5, 1e-9);
}

} // namespace
} // namespace tlx
