// The shipped travel-time tables against the published ak135 tables (Kennett, Engdahl & Buland
// 1995), first-arriving P and S, through the same look-up the program uses.
#include "seismo/data_files.h"
#include "seismo/regions.h"
#include "seismo/travel_times.h"
#include "seismo_test_support.h"

#include "core/data_paths.h"
#include "core/ini_profile.h"
#include "core/messages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tlx {
namespace {

struct Published {
    std::vector<double> depths;
    std::vector<double> distances;
    std::vector<std::vector<double>> seconds; // [distance][depth]
};

// Line 1: source depths; then per distance: distance, minutes and seconds per depth, ray parameters.
Published readPublished(const std::filesystem::path& path) {
    Published p;
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line)) return p;
    std::istringstream head(line);
    for (double d; head >> d;)
        p.depths.push_back(d);
    while (std::getline(in, line)) {
        std::istringstream row(line);
        double dist;
        if (!(row >> dist)) continue;
        std::vector<double> times;
        for (std::size_t k = 0; k < p.depths.size(); ++k) {
            double minutes, seconds;
            if (!(row >> minutes >> seconds)) break;
            times.push_back(minutes * 60 + seconds);
        }
        if (times.size() != p.depths.size()) continue;
        p.distances.push_back(dist);
        p.seconds.push_back(times);
    }
    return p;
}

class ShippedTablesTest : public testing::Test {
  protected:
    void SetUp() override {
        shared_ = test::sharedDataDir();
        RecordingMessages messages;
        ASSERT_TRUE(tm_.load(test::shippedData(), TableSettings(), messages))
            << "data/*.JB missing: run tools/make_traveltimes.py";
    }
    // Largest difference over the published grid out to maxDistance; each depth that the table
    // covers is compared at the published distances.
    double worst(const char* file, int slot, double maxDistance, int& compared) {
        const Published pub = readPublished(shared_ / "models" / "traveltimes" / file);
        EXPECT_FALSE(pub.distances.empty()) << file;
        const PhaseTable& table = tm_.slot(static_cast<std::size_t>(slot));
        double worst = 0;
        for (std::size_t i = 0; i < pub.distances.size(); ++i) {
            if (pub.distances[i] > maxDistance) continue;
            for (std::size_t k = 0; k < pub.depths.size(); ++k) {
                if (pub.depths[k] > table.largestDepth) continue;
                const double t = travelTime(pub.depths[k], table, pub.distances[i]);
                EXPECT_GE(t, 0) << file << " " << pub.depths[k] << " km " << pub.distances[i] << " deg";
                const double diff = std::fabs(t - pub.seconds[i][k]);
                if (diff > worst) worst = diff;
                ++compared;
            }
        }
        return worst;
    }
    std::filesystem::path shared_;
    CTravelTm tm_;
};

TEST_F(ShippedTablesTest, TeleseismicMatchesPublishedAk135) {
    if (shared_.empty()) GTEST_SKIP() << "shared reference data absent (TLX_SHARED_DATA)";
    int n = 0;
    EXPECT_LT(worst("ak135_P_shallow.txt", CTravelTm::kTeleP, 100, n), 0.5);
    EXPECT_LT(worst("ak135_P_deep.txt", CTravelTm::kTeleP, 100, n), 0.5);
    EXPECT_LT(worst("ak135_S_shallow.txt", CTravelTm::kTeleS, 100, n), 1.0);
    EXPECT_LT(worst("ak135_S_deep.txt", CTravelTm::kTeleS, 100, n), 1.0);
    EXPECT_GT(n, 3000);
}

TEST_F(ShippedTablesTest, RegionalMatchesPublishedAk135) {
    if (shared_.empty()) GTEST_SKIP() << "shared reference data absent (TLX_SHARED_DATA)";
    int n = 0;
    EXPECT_LT(worst("ak135_P_shallow.txt", CTravelTm::kRegP, 20, n), 0.5);
    EXPECT_LT(worst("ak135_S_shallow.txt", CTravelTm::kRegS, 20, n), 1.0);
    EXPECT_GT(n, 80);
}

TEST_F(ShippedTablesTest, SpRoundTripWithinOneStep) {
    // distance -> S-P -> distance comes back within the table step, at several depths and modes
    TableSettings s;
    for (int mode : {kRegional, kTeleseismic}) {
        for (double depth : {0.0, 10.0, 33.0, 90.0}) {
            WindowTravelTimes w = tm_.newWindow(s);
            ASSERT_TRUE(tm_.buildSpTable(w, mode, depth, depth));
            const PhaseTable& p = w.tables[mode == kRegional ? CTravelTm::kRegP : CTravelTm::kTeleP];
            const PhaseTable& sw = w.tables[mode == kRegional ? CTravelTm::kRegS : CTravelTm::kTeleS];
            const double step = (p.distances[1] - p.distances[0]) / 100.0;
            const double last = p.largestDistance / 100.0;
            for (double x = step * 0.37; x < last - step; x += last / 37) {
                const double tp = travelTime(depth, p, x), ts = travelTime(depth, sw, x);
                ASSERT_GT(tp, 0);
                const SpDistance d = distanceFromSp(w, static_cast<int>((ts - tp) * 1000));
                ASSERT_TRUE(d.found()) << mode << " " << depth << " " << x;
                EXPECT_NEAR(d.degrees, x, step) << mode << " " << depth << " " << x;
                EXPECT_NEAR(d.pTimeMs / 1000.0, tp, 0.1 + step * 15) << mode << " " << depth << " " << x;
            }
        }
    }
}

TEST(DataFiles, TablesDirectoryOrder) {
    test::TempDir program;
    IniProfile ini;
    // no "tables" folder: the shipped data folder
    EXPECT_EQ(tablesDirectory(ini, program.path()), shippedDataDirectory());
    std::filesystem::create_directory(program / "tables");
    EXPECT_EQ(tablesDirectory(ini, program.path()), program / "tables");
    ini.loadText("[Settings]\nPhaseDirectory=/somewhere/jb\n");
    EXPECT_EQ(tablesDirectory(ini, program.path()), std::filesystem::path("/somewhere/jb"));
}

} // namespace
} // namespace tlx
