#include "core/civil_time.h"

#include <cmath>

namespace tlx {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Howard Hinnant's days-from-civil algorithm: exact over the whole int range of years.
std::int64_t daysFromCivil(int year, int month, int day) {
    std::int64_t y = static_cast<std::int64_t>(year) - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    CivilDate d;
    d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2 ? 1 : 0));
    return d;
}

std::int64_t epochSeconds(const CivilTime& t) {
    return daysFromCivil(t.year, t.month, t.day) * kSecondsPerDay + t.hour * 3600LL + t.minute * 60LL +
           t.second;
}

CivilTime civilFromEpoch(std::int64_t seconds, std::int32_t nanoseconds) {
    std::int64_t days =
        seconds >= 0 ? seconds / kSecondsPerDay : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
    std::int64_t rest = seconds - days * kSecondsPerDay;
    CivilDate d = civilFromDays(days);
    CivilTime t;
    t.year = d.year;
    t.month = d.month;
    t.day = d.day;
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    t.nanoseconds = nanoseconds;
    return t;
}

CivilTime addSeconds(const CivilTime& t, double seconds) {
    const double whole = std::floor(seconds);
    std::int64_t ns = t.nanoseconds + std::llround((seconds - whole) * 1e9);
    std::int64_t s = epochSeconds(t) + static_cast<std::int64_t>(whole);
    s += ns / 1'000'000'000;
    ns %= 1'000'000'000;
    return civilFromEpoch(s, static_cast<std::int32_t>(ns));
}

std::int64_t timeOfDayMs(const CivilTime& t) {
    return ((t.hour * 60LL + t.minute) * 60LL + t.second) * 1000LL + t.nanoseconds / 1'000'000;
}

int dayOfYear(int year, int month, int day) {
    return static_cast<int>(daysFromCivil(year, month, day) - daysFromCivil(year, 1, 1)) + 1;
}

} // namespace tlx
