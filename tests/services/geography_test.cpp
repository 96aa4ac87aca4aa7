#include "record/loader.h"
#include "services/geography.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

TEST(Geography, ReadersGetDistancesAndRegionNames) {
    const SeismoGeography geography;
    ASSERT_TRUE(geography.hasRegionFile()) << "the shipped region table is found";
    const Geography& g = geography;
    GreatCircleResult arc;
    ASSERT_TRUE(g.greatCircle(0, 0, 0, 90, arc));
    EXPECT_NEAR(arc.degrees, 90, 1e-9);
    EXPECT_NEAR(arc.azimuth12, 90, 1e-9);
    EXPECT_FALSE(g.greatCircle(95, 0, 0, 0, arc)) << "latitude out of range";
    EXPECT_EQ(g.regionName(35.7, 139.7).empty(), false);
    EXPECT_NE(g.regionName(35.7, 139.7), g.regionName(-33.9, 18.4)) << "Japan is not South Africa";

    const SeismoGeography none{std::filesystem::path()};
    EXPECT_EQ(none.regionName(35.7, 139.7).find_first_not_of(' '), std::string::npos)
        << "no table: a blank name";
}

} // namespace
} // namespace tlx
