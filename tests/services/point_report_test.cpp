// A report made from a point on the map: the error each missing input gives, and the origin date
// across midnight, month and year ends with rounding to tenths.
#include "services/point_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace tlx {
namespace {

EventTime day(int year, int month, int d) {
    EventTime t{};
    t.year = static_cast<std::uint16_t>(year);
    t.month = static_cast<std::uint8_t>(month);
    t.day = static_cast<std::uint8_t>(d);
    t.hour = 12; // only the day counts
    return t;
}

TEST(PointReport, MissingInputsGiveTheirMessage) {
    const MarkerEvent event{day(2024, 3, 1), 43'180'000, 10, {}};
    struct Case {
        std::optional<GeoPoint> point;
        std::optional<MarkerEvent> event;
        const char* error;
    } cases[] = {
        {std::nullopt, event, "Mouse Location Error"},
        {std::nullopt, std::nullopt, "Mouse Location Error"},
        {GeoPoint{91, 0}, event, "Mouse Location Error"},
        {GeoPoint{0, NAN}, event, "Mouse Location Error"},
        {GeoPoint{45, -124}, std::nullopt, "Error getting event time and magnitude"},
        {GeoPoint{45, -124}, MarkerEvent{EventTime{}, 0, 0, {}}, "Error getting event time and magnitude"},
    };
    for (const Case& c : cases) {
        const PointReport r = makePointReport(c.point, c.event);
        EXPECT_FALSE(r.row);
        ASSERT_NE(r.error, nullptr);
        EXPECT_STREQ(r.error, c.error);
    }
}

TEST(PointReport, OriginDateAcrossDayMonthAndYearEnds) {
    struct Case {
        EventTime start;
        std::int64_t originMs;
        int year, month, dayOfMonth, hour, minute, second, tenths;
    } cases[] = {
        {day(2024, 3, 1), 43'180'060, 124, 3, 1, 11, 59, 40, 1}, // 0.06 s rounds to a tenth
        {day(2024, 3, 1), -1'500, 124, 2, 29, 23, 59, 58, 5},    // the day before, a leap day
        {day(2023, 3, 1), -1'549, 123, 2, 28, 23, 59, 58, 5},    // -1.549 s rounds to -1.5
        {day(2024, 3, 1), 86'401'234, 124, 3, 2, 0, 0, 1, 2},    // after midnight
        {day(1999, 12, 31), 86'399'960, 100, 1, 1, 0, 0, 0, 0},  // rounds into the next year
    };
    for (const Case& c : cases) {
        const MarkerEvent event{c.start, c.originMs, 33, {{"Ml", 3.46}, {"Ms", 4.1}}};
        const PointReport r = makePointReport(GeoPoint{-33.5, 179.9}, event);
        ASSERT_TRUE(r.row) << c.originMs;
        const ReportRow& row = *r.row;
        EXPECT_EQ(
            std::vector<int>({row.year, row.month, row.day, row.hour, row.minute, row.second, row.tenths}),
            std::vector<int>({c.year, c.month, c.dayOfMonth, c.hour, c.minute, c.second, c.tenths}))
            << c.originMs;
        EXPECT_EQ(row.latitude, -33.5);
        EXPECT_EQ(row.longitude, 179.9);
        EXPECT_EQ(row.depth, 33);
        EXPECT_EQ(row.magType + row.magType2, "MlMs");
        EXPECT_EQ(row.magnitude, 3.46);
        EXPECT_EQ(row.magnitude2, 4.1);
    }
    // Without magnitudes the report still has its place and time.
    const PointReport r = makePointReport(GeoPoint{1, 2}, MarkerEvent{day(2024, 3, 1), 0, 0, {}});
    ASSERT_TRUE(r.row);
    EXPECT_EQ(r.row->magnitude, 0);
    EXPECT_EQ(reportMagnitudeText(*r.row), "  ???  ");
}

} // namespace
} // namespace tlx
