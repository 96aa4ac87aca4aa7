// Proleptic Gregorian calendar arithmetic in UTC, without time zones or leap seconds.
#pragma once

#include <cstdint>

namespace tlx {

constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr std::int64_t kSecondsPerDay = 86'400;

bool isLeapYear(int year);
int daysInMonth(int year, int month);

// Days since 1970-01-01 for a calendar date (month 1..12, day 1..31).
std::int64_t daysFromCivil(int year, int month, int day);

struct CivilDate {
    int year = 1970;
    int month = 1;
    int day = 1;
};
CivilDate civilFromDays(std::int64_t daysSinceEpoch);

// A broken-down UTC time with a nanosecond fraction.
struct CivilTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::int32_t nanoseconds = 0;
};

// Whole seconds since the epoch (the nanosecond fraction is not included).
std::int64_t epochSeconds(const CivilTime& t);
CivilTime civilFromEpoch(std::int64_t seconds, std::int32_t nanoseconds = 0);

// Adds a signed number of seconds (with fraction), carrying into the date.
CivilTime addSeconds(const CivilTime& t, double seconds);

// Milliseconds since midnight: the unit of the view's time axis.
std::int64_t timeOfDayMs(const CivilTime& t);

// Day of the year, 1 for January 1.
int dayOfYear(int year, int month, int day);

} // namespace tlx
