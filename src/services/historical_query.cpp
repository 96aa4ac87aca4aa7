#include "services/historical_query.h"

namespace tlx {

namespace {

CivilDate dateOf(std::int64_t seconds) {
    const CivilTime t = civilFromEpoch(seconds);
    return {t.year, t.month, t.day};
}

std::int64_t midnight(const CivilDate& d) {
    return daysFromCivil(d.year, d.month, d.day) * kSecondsPerDay;
}

bool validDate(const CivilDate& d) {
    return d.year >= 1900 && d.year <= 2100 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= daysInMonth(d.year, d.month);
}

bool validMagnitude(double m) {
    return m >= 0.1 && m <= 10;
}

} // namespace

HistoricalQuery queryAroundEvent(const EventTime& recordStart) {
    const std::int64_t start = epochSeconds(toCivil(recordStart));
    HistoricalQuery q;
    q.start = dateOf(start - kSecondsPerDay);
    q.stop = dateOf(start + kSecondsPerDay);
    return q;
}

HistoricalValues valuesAroundEvent(const EventTime& recordStart) {
    const HistoricalQuery q = queryAroundEvent(recordStart);
    return {q.start, q.stop, q.minMagnitude, q.maxMagnitude};
}

HistoricalValues recentValues(std::int64_t nowSeconds) {
    return {dateOf(nowSeconds - 3 * kSecondsPerDay), dateOf(nowSeconds), 2.5, 10};
}

bool queryFromValues(const HistoricalValues& values, HistoricalQuery& query, std::string& error) {
    if (!validDate(values.start)) {
        error = "Start time error";
        return false;
    }
    if (!validDate(values.end)) {
        error = "End time error";
        return false;
    }
    if (midnight(values.start) >= midnight(values.end)) {
        error = "Start or end time error";
        return false;
    }
    if (!validMagnitude(values.minMagnitude) || !validMagnitude(values.maxMagnitude)) {
        error = "Magnitude error";
        return false;
    }
    query.start = dateOf(midnight(values.start) - kSecondsPerDay);
    query.stop = dateOf(midnight(values.end) + kSecondsPerDay);
    query.minMagnitude = values.minMagnitude;
    query.maxMagnitude = values.maxMagnitude;
    return true;
}

} // namespace tlx
