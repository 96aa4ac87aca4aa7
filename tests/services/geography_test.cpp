#include "record/geo_hooks.h"
#include "services/geography.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

TEST(Geography, ReadersGetDistancesAndRegionNamesOnceInstalled) {
    ASSERT_TRUE(installGeography()) << "the shipped region table is found";
    const GeoHooks& hooks = geoHooks();
    ASSERT_TRUE(hooks.greatCircle && hooks.regionName);
    GreatCircleResult arc;
    ASSERT_TRUE(hooks.greatCircle(0, 0, 0, 90, arc));
    EXPECT_NEAR(arc.degrees, 90, 1e-9);
    EXPECT_NEAR(arc.azimuth12, 90, 1e-9);
    EXPECT_FALSE(hooks.greatCircle(95, 0, 0, 0, arc)) << "latitude out of range";
    EXPECT_EQ(hooks.regionName(35.7, 139.7).empty(), false);
    EXPECT_NE(hooks.regionName(35.7, 139.7), hooks.regionName(-33.9, 18.4)) << "Japan is not South Africa";
}

} // namespace
} // namespace tlx
