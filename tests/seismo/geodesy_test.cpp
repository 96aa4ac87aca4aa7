#include "seismo/geodesy.h"
#include "seismo/regions.h"
#include "seismo_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tlx {
namespace {

const double kPi = std::acos(-1.0);

// Haversine on the sphere of geocentric latitudes: an independent route to the same distance.
double haversineDegrees(double lat1, double lon1, double lat2, double lon2) {
    const auto geocentric = [](double lat) {
        return std::atan(geo::kLatitudeFactor * std::tan(lat * kPi / 180));
    };
    const double p1 = std::fabs(lat1) == 90 ? lat1 * kPi / 180 : geocentric(lat1);
    const double p2 = std::fabs(lat2) == 90 ? lat2 * kPi / 180 : geocentric(lat2);
    const double dl = (lon2 - lon1) * kPi / 180;
    const double h =
        std::pow(std::sin((p2 - p1) / 2), 2) + std::cos(p1) * std::cos(p2) * std::pow(std::sin(dl / 2), 2);
    return 2 * std::asin(std::min(1.0, std::sqrt(h))) * 180 / kPi;
}

TEST(GreatCircle, KnownGeometry) {
    struct Case {
        double lat1, lon1, lat2, lon2, degrees, az12, az21;
    } cases[] = {
        {0, 0, 0, 0, 0, 0, 0}, // identical points
        {10.5, 20.25, 10.5, 20.25, 0, -1, -1},
        {0, 0, 0, 180, 180, -1, -1},   // antipodes on the equator
        {90, 0, -90, 0, 180, -1, -1},  // pole to pole
        {90, 0, 0, 45, 90, -1, 0},     // north pole to the equator
        {0, 0, 0, 10, 10, 90, 270},    // due east
        {0, 0, 0, -10, 10, 270, 90},   // due west
        {0, 179, 0, -179, 2, 90, 270}, // across the date line
        {0, 0, 10, 0, -1, 0, 180},     // due north
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lat1 << "," << c.lon1 << " -> " << c.lat2 << "," << c.lon2);
        GreatCircle gc;
        ASSERT_TRUE(greatCircle(c.lat1, c.lon1, c.lat2, c.lon2, gc));
        EXPECT_FALSE(std::isnan(gc.degrees));
        if (c.degrees >= 0) {
            EXPECT_NEAR(gc.degrees, c.degrees, 1e-6);
        }
        EXPECT_NEAR(gc.km, gc.degrees * 111.1775, 1e-9);
        if (c.az12 >= 0) {
            EXPECT_NEAR(gc.azimuth12, c.az12, 1e-6);
        }
        if (c.az21 >= 0) {
            EXPECT_NEAR(gc.azimuth21, c.az21, 1e-6);
        }
    }
}

TEST(GreatCircle, MatchesHaversineFromShortToLong) {
    const double pts[][4] = {{47.0, 8.0, 47.001, 8.001}, {47.0, 8.0, 47.01, 8.02},
                             {-33.9, 18.4, -33.8, 18.6}, {35.7, 139.7, 34.7, 135.5},
                             {51.5, -0.1, 40.7, -74.0},  {-41.3, 174.8, 64.1, -21.9},
                             {89.5, 10, 89.5, 190},      {-60, -70, 60, 110.5}};
    for (const auto& p : pts) {
        GreatCircle gc;
        ASSERT_TRUE(greatCircle(p[0], p[1], p[2], p[3], gc));
        // acos loses precision for very short arcs: 1e-6 degrees is about 0.1 m
        EXPECT_NEAR(gc.degrees, haversineDegrees(p[0], p[1], p[2], p[3]), 2e-6) << p[0] << "," << p[1];
    }
}

TEST(GreatCircle, LongitudeRulesAndRefusals) {
    GreatCircle a, b;
    ASSERT_TRUE(greatCircle(10, 190, 20, 30, a)); // 190 is taken as -170
    ASSERT_TRUE(greatCircle(10, -170, 20, 30, b));
    EXPECT_DOUBLE_EQ(a.degrees, b.degrees);
    EXPECT_DOUBLE_EQ(a.azimuth12, b.azimuth12);
    EXPECT_FALSE(greatCircle(10, 550, 20, 30, a));
    EXPECT_FALSE(greatCircle(10, -180.5, 20, 30, a));
    EXPECT_FALSE(greatCircle(90.5, 0, 20, 30, a));
    EXPECT_FALSE(greatCircle(-91, 0, 20, 30, a));
    EXPECT_FALSE(greatCircle(std::nan(""), 0, 20, 30, a));
}

TEST(CoordinateText, Parse) {
    struct Case {
        const char* text;
        bool latitude;
        bool ok;
        double value;
    } cases[] = {
        {"12.5N", true, true, 12.5},  {"12.5 S", true, true, -12.5},     {"90N", true, true, 89.9},
        {"90.0S", true, true, -89.9}, {"12:30:36N", true, true, 12.51},  {"33:15S", true, true, -33.25},
        {"90.1N", true, false, 0},    {"12.5", true, false, 0},          {"12.5E", true, false, 0},
        {"N", true, false, 0},        {"-12N", true, false, 0},          {"12:61N", true, false, 0},
        {"abcN", true, false, 0},     {"120.25W", false, true, -120.25}, {"180E", false, true, 180},
        {"180.5E", false, false, 0},  {"10:30 E", false, true, 10.5},    {"10:30:00:00E", false, false, 0},
        {"E", false, false, 0},       {"12.5N", false, false, 0},        {"45E extra", false, false, 0},
    };
    for (const Case& c : cases) {
        double v = 0;
        const bool ok = c.latitude ? parseLatitude(c.text, v) : parseLongitude(c.text, v);
        EXPECT_EQ(ok, c.ok) << c.text;
        if (ok && c.ok) {
            EXPECT_NEAR(v, c.value, 1e-9) << c.text;
        }
    }
}

TEST(CoordinateText, FormatRoundTrips) {
    EXPECT_EQ(formatLatLon(12.5, 'N', 'S'), "12:30:00N");
    EXPECT_EQ(formatLatLon(-33.2583333, 'N', 'S'), "33:15:30S");
    EXPECT_EQ(formatLatLon(-120.0001, 'E', 'W'), "120:00:00W");
    EXPECT_EQ(formatLatLon(0.0, 'N', 'S'), "");
    // 59.9999 s rounds into the next minute instead of showing 60
    EXPECT_EQ(formatLatLon(10.99999999, 'E', 'W'), "11:00:00E");
    for (double v : {0.5, 45.75, -89.9, 179.99}) {
        double back = 0;
        ASSERT_TRUE(parseLongitude(formatLatLon(v, 'E', 'W'), back));
        EXPECT_NEAR(back, v, 1.0 / 3600) << v;
    }
}

class DistanceTextTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { loadRegionTable(test::shippedData() / kRegionFileName); }
};

TEST_F(DistanceTextTest, Forms) {
    const std::string germany = regionName(50, 10);
    ASSERT_EQ(germany, "Germany");
    // station at 50N 8E, event at 50N 10E: 1.2866 degrees = 143 km
    EXPECT_EQ(distanceText("ABC", 50, 8, 50, 10), "143km from ABC, Germany");
    EXPECT_EQ(distanceText("ABC", 50, 8, 50, 10, std::nullopt, std::nullopt, 455),
              "M4.6 143km from ABC, Germany");
    EXPECT_EQ(distanceText("ABC", 50, 8, 50, 10, std::nullopt, std::nullopt, 449),
              "M4.5 143km from ABC, Germany");
    EXPECT_EQ(distanceText("ABC", 50, 8, 50, 10, std::nullopt, std::nullopt, -50),
              "M-0.5 143km from ABC, Germany");
    // an unknown station position falls back to the given km, then the given degrees
    EXPECT_EQ(distanceText("ABC", kUnknownValue, kUnknownValue, 50, 10, 99.6), "100km from ABC, Germany");
    EXPECT_EQ(distanceText("ABC", kUnknownValue, 8, 50, 10, std::nullopt, 2.0), "222km from ABC, Germany");
    EXPECT_EQ(distanceText("ABC", kUnknownValue, 8, 50, 10), "");
    EXPECT_EQ(distanceText("ABC", 50, 10, 50, 10), ""); // 0 km gives no text
    // an event with an unknown position still gets a text, with the blank region name
    EXPECT_EQ(distanceText("ABC", 50, 8, kUnknownValue, kUnknownValue, 12.0),
              "12km from ABC, " + noRegionName());
}

} // namespace
} // namespace tlx

#include "seismo/great_circle_calculator.h"

namespace tlx {
namespace {

TEST_F(DistanceTextTest, GreatCircleCalculatorTexts) {
    CWorldist calc;
    calc.eventLatitude = "50N";
    calc.eventLongitude = "10:30E";
    calc.stationLatitude = "50N";
    calc.stationLongitude = "8E";
    GreatCircleCalculation r = calc.calculate();
    EXPECT_EQ(r.echo[1], "10:30:00E");
    EXPECT_EQ(r.eventRegion, "Germany");
    EXPECT_EQ(r.distance, "1.613 deg  179.3541 km  111.4455 mi\n");
    EXPECT_EQ(r.azimuthEventToStation, "271.0 degrees"); // west, bending poleward
    calc.stationLongitude = "";
    calc.stationLatitude = "95N";
    r = calc.calculate();
    EXPECT_EQ(r.echo[2], "ERROR");
    EXPECT_EQ(r.echo[3], "???");
    EXPECT_EQ(r.stationRegion, "???");
    EXPECT_EQ(r.distance, "???");
    EXPECT_EQ(r.azimuthStationToEvent, "???");
    EXPECT_TRUE(CWorldist::clearsOnEntry("ERROR"));
    EXPECT_TRUE(CWorldist::clearsOnEntry("???"));
    EXPECT_FALSE(CWorldist::clearsOnEntry("12N"));
}

} // namespace
} // namespace tlx
