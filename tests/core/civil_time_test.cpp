#include "core/civil_time.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

struct DateCase {
    const char* name;
    int year, month, day;
    std::int64_t days;
};

TEST(CivilTime, DaysFromCivilKnownDates) {
    const DateCase cases[] = {
        {"epoch", 1970, 1, 1, 0},
        {"day before epoch", 1969, 12, 31, -1},
        {"leap day 2000", 2000, 2, 29, 11016},
        {"y2k38 day", 2038, 1, 19, 24855},
        {"1960 start", 1960, 1, 1, -3653},
        {"2200 end", 2200, 12, 31, 84370},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(daysFromCivil(c.year, c.month, c.day), c.days) << c.name;
        const CivilDate d = civilFromDays(c.days);
        EXPECT_EQ(d.year, c.year) << c.name;
        EXPECT_EQ(d.month, c.month) << c.name;
        EXPECT_EQ(d.day, c.day) << c.name;
    }
}

TEST(CivilTime, RoundTripEveryDayOverThreeCenturies) {
    for (std::int64_t z = daysFromCivil(1900, 1, 1); z <= daysFromCivil(2200, 12, 31); ++z) {
        const CivilDate d = civilFromDays(z);
        ASSERT_GE(d.day, 1);
        ASSERT_LE(d.day, daysInMonth(d.year, d.month));
        ASSERT_EQ(daysFromCivil(d.year, d.month, d.day), z);
    }
}

TEST(CivilTime, AddSecondsCarriesIntoDateAndKeepsNanoseconds) {
    struct Case {
        const char* name;
        CivilTime start;
        double seconds;
        CivilTime expected;
    };
    const Case cases[] = {
        {"across midnight",
         {2024, 12, 31, 23, 59, 59, 500'000'000},
         0.75,
         {2025, 1, 1, 0, 0, 0, 250'000'000}},
        {"negative across leap day", {2024, 3, 1, 0, 0, 0, 0}, -0.5, {2024, 2, 29, 23, 59, 59, 500'000'000}},
        {"whole hours", {2023, 6, 15, 10, 0, 0, 1}, 7200, {2023, 6, 15, 12, 0, 0, 1}},
    };
    for (const auto& c : cases) {
        const CivilTime t = addSeconds(c.start, c.seconds);
        EXPECT_EQ(epochSeconds(t), epochSeconds(c.expected)) << c.name;
        EXPECT_EQ(t.nanoseconds, c.expected.nanoseconds) << c.name;
    }
}

TEST(CivilTime, TimeOfDayAndDayOfYear) {
    EXPECT_EQ(timeOfDayMs({2024, 1, 1, 23, 59, 59, 999'999'999}), kMsPerDay - 1);
    EXPECT_EQ(dayOfYear(2024, 12, 31), 366);
    EXPECT_EQ(dayOfYear(2023, 3, 1), 60);
}

} // namespace
} // namespace tlx
