#include "seismo/magnitudes.h"

#include "core/text.h"
#include "core/units.h"

#include <cmath>

namespace tlx {
namespace {

std::optional<double> finite(double v) {
    return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

} // namespace

MagnitudePair magnitudeMl(double r, double a, const StationResponse& s, const AttenuationTables& tables) {
    MagnitudePair m;
    if (r < 0 || a == 0 || r >= kMlMaxHypocentralKm) return m;
    const double correction = minusLogA0(tables, static_cast<int>(std::trunc(r + 0.5)));
    if (correction == 0) return m;
    if (s.correction > 0) m.byCorrection = finite(std::log10(a * s.correction) + correction);
    if (s.sensitivityUsable()) m.bySensitivity = finite(std::log10(a * s.sensitivity * 28000) + correction);
    return m;
}

MagnitudePair magnitudeMs(double km, double a, const StationResponse& s, double t) {
    MagnitudePair m;
    if (km < 0 || a == 0 || t <= 0) return m;
    const double distance = 1.66 * std::log10(km / kKmPerDegree) + 3.3;
    if (s.correction > 0) m.byCorrection = finite(std::log10(a * s.correction / (t / 100)) + distance);
    if (s.sensitivityUsable()) m.bySensitivity = finite(std::log10(a * s.sensitivity * 10000 / t) + distance);
    return m;
}

MagnitudePair magnitudeMb(double km, double a, const StationResponse& s, double t) {
    MagnitudePair m;
    if (a == 0 || t <= 0) return m;
    const double e = 0.01 * (km / kKmPerDegree) + 5.9;
    if (s.correction > 0) m.byCorrection = finite(std::log10(a * s.correction / (t / 100)) + e);
    if (s.sensitivityUsable()) m.bySensitivity = finite(std::log10(a * s.sensitivity * 10000 / t) + e);
    return m;
}

double magnitudeMd(double durationMs, double km, const MdCoefficients& c) {
    if (durationMs <= 0) return 0;
    return c.c1 * std::log10(durationMs / 1000) + c.c0 + c.c2 * km;
}

bool usesSensorUnits(MagnitudeUnits units, const StationResponse& station) {
    switch (units) {
    case MagnitudeUnits::Auto:
        return station.sensitivityUsable();
    case MagnitudeUnits::SensorUnits:
        return true;
    case MagnitudeUnits::Correction:
        return false;
    }
    return false;
}

WindowMagnitudes windowMagnitudes(const WindowMagnitudeInputs& in, const AttenuationTables* tables) {
    WindowMagnitudes out;
    const auto nonZero = [](double v) { return v != 0 ? std::optional<double>(v) : std::nullopt; };
    if (in.mdMode) out.md = nonZero(magnitudeMd(in.durationMs, in.epicentralKm, in.md));
    const StationResponse& s = in.station;
    if (!(s.correction > 0 || s.sensitivityUsable())) return out;

    const bool sensorUnits = usesSensorUnits(in.units, s);
    const auto choose = [&](const MagnitudePair& pair) -> std::optional<double> {
        std::optional<double> value = pair.byCorrection;
        // Each sensitivity value there is replaces the correction value.
        if (sensorUnits && pair.bySensitivity && *pair.bySensitivity != 0) {
            value = pair.bySensitivity;
            out.usedSensorUnits = true;
        }
        return value && *value != 0 ? value : std::nullopt;
    };
    const double a = std::fabs(in.amplitude);
    const double hypocentral = std::sqrt(in.epicentralKm * in.epicentralKm + in.depthKm * in.depthKm);
    if (tables && !tables->empty()) out.ml = choose(magnitudeMl(hypocentral, a, s, *tables));
    const bool far = in.epicentralKm > kTeleseismicKm;
    if (far && in.pick == AmplitudePick::Mb)
        out.mb = choose(magnitudeMb(in.epicentralKm, a, s, in.mbPeriodS));
    else if (far)
        out.ms = choose(magnitudeMs(in.epicentralKm, a, s, in.msPeriodS));
    return out;
}

WindowMagnitudes windowMagnitudes(const WindowMagnitudeInputs& in, AttenuationTableSet& tables,
                                  std::string_view sensorId) {
    return windowMagnitudes(in, tables.tableFor(sensorId));
}

PeriodMeasurement measurePeriod(std::span<const double> samples, std::size_t first, std::size_t visible,
                                double zero, double sps) {
    PeriodMeasurement result;
    const std::size_t n = samples.size();
    std::size_t positive = first, negative = first;
    double most = -INFINITY, least = INFINITY;
    // The first occurrence of the largest deviation in each direction wins.
    for (std::size_t i = first; i < n && i < first + visible; ++i) {
        const double d = samples[i] - zero;
        if (d > most) {
            most = d;
            positive = i;
        }
        if (d < least) {
            least = d;
            negative = i;
        }
    }
    if (first >= n || visible == 0) {
        result.error = "Can't find peak point";
        return result;
    }
    const std::size_t peak = (-least > most) ? negative : positive;
    if (peak == 0 || peak >= n - 1) {
        result.error = "Can't find peak point";
        return result;
    }
    const bool positivePeak = samples[peak] - zero >= 0;
    const auto otherSide = [&](std::size_t i) {
        return positivePeak ? samples[i] < zero : samples[i] > zero;
    };
    std::size_t before = peak, after = peak;
    bool foundBefore = false, foundAfter = false;
    for (std::size_t i = peak; i-- > 0;)
        if (otherSide(i)) {
            before = i;
            foundBefore = true;
            break;
        }
    for (std::size_t i = peak + 1; i < n; ++i)
        if (otherSide(i)) {
            after = i;
            foundAfter = true;
            break;
        }
    if (!foundBefore || !foundAfter || sps <= 0) {
        result.error = "Can't find zero crossing";
        return result;
    }
    result.seconds = 2.0 * static_cast<double>(after - before) / sps;
    return result;
}

PeriodCheck checkMsPeriod(double p) {
    if (p < 10 || p > 30)
        return {false, format("Ms Period Error: Period %g not in the range of 10 to 30 seconds", p)};
    return {true, format("New Ms Period = %g Seconds or %g Hz", p, 1 / p)};
}

PeriodCheck checkMbPeriod(double p) {
    if (p < 0.1 || p > 6)
        return {false, format("Mb Period Error: Period %g not in the range of .1 to 6 seconds", p)};
    return {true, format("New Mb Period = %g Seconds or %g Hz", p, 1 / p)};
}

} // namespace tlx
