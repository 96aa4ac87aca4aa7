#include "seismo/mag_calc.h"

#include "core/text.h"
#include "core/units.h"
#include "seismo/magnitudes.h"

#include <cmath>
#include <cstdlib>

namespace tlx {
namespace {

std::optional<double> finitePositive(double v) {
    return std::isfinite(v) && v != 0 ? std::optional<double>(v) : std::nullopt;
}

bool positive(const std::optional<double>& v) {
    return v && *v > 0;
}

} // namespace

double CMagCalc::minusLogA0At(double km) const {
    if (km >= kMlMaxHypocentralKm || km <= 0) return 0;
    return minusLogA0(tables_, static_cast<int>(std::trunc(km + 0.5)));
}

double CMagCalc::mbTerm(const MagCalcValues& v, double degrees) {
    return v.mbDistanceTerm ? *v.mbDistanceTerm : 0.01 * degrees + 5.9;
}

MagCalcResults CMagCalc::calculate(const MagCalcValues& v) const {
    MagCalcResults r;
    if (!positive(v.distanceKm)) return r;
    const double km = *v.distanceKm;
    const double degrees = km / kKmPerDegree;
    const double a0 = minusLogA0At(km);
    if (a0 != 0) {
        r.minusLogA0 = a0;
        if (positive(v.displacementM)) r.ml = finitePositive(a0 + std::log10(*v.displacementM * 2'800'000));
        if (positive(v.correction) && positive(v.counts))
            r.mlCorrection = finitePositive(std::log10(*v.correction * *v.counts) + a0);
    }
    r.teleseismicFieldsEnabled = km > kTeleseismicKm;
    if (!r.teleseismicFieldsEnabled) return r;
    if (positive(v.displacementM)) {
        r.ms = finitePositive(std::log10(*v.displacementM * 1e6 / v.msPeriodS) + 1.66 * std::log10(degrees) +
                              3.3);
        r.mb = finitePositive(std::log10(*v.displacementM * 1e6 / v.mbPeriodS) + mbTerm(v, degrees));
    }
    r.mbDistanceTerm = mbTerm(v, degrees);
    if (positive(v.correction) && positive(v.counts)) {
        const StationResponse station{*v.correction, 0, 0};
        r.msCorrection = magnitudeMs(km, *v.counts, station, v.msPeriodS).byCorrection;
        r.mbCorrection = magnitudeMb(km, *v.counts, station, v.mbPeriodS).byCorrection;
        if (r.mbCorrection)
            r.mbCorrection = finitePositive(*r.mbCorrection - (0.01 * degrees + 5.9) + mbTerm(v, degrees));
    }
    return r;
}

void CMagCalc::fillMissing(MagCalcValues& v) {
    if (!v.displacementM && positive(v.counts) && v.sensitivity && *v.sensitivity != 0)
        v.displacementM = *v.counts * *v.sensitivity / 100; // cm to m
    else if (!v.counts && positive(v.displacementM) && v.sensitivity && *v.sensitivity != 0)
        v.counts = *v.displacementM * 100 / *v.sensitivity;
    else if (!v.sensitivity && positive(v.displacementM) && positive(v.counts))
        v.sensitivity = *v.displacementM * 100 / *v.counts;
}

std::optional<double> CMagCalc::correctionFor(MagnitudeKind kind, double m, const MagCalcValues& v) const {
    if (!positive(v.counts) || !positive(v.distanceKm)) return std::nullopt;
    const double km = *v.distanceKm, a = *v.counts, degrees = km / kKmPerDegree;
    switch (kind) {
    case MagnitudeKind::Ml: {
        const double a0 = minusLogA0At(km);
        if (km > kTeleseismicKm || a0 == 0) return std::nullopt;
        return finitePositive(std::pow(10.0, m - a0) / a);
    }
    case MagnitudeKind::Ms:
        if (km <= kTeleseismicKm) return std::nullopt;
        return finitePositive(std::pow(10.0, m - 3.3 - 1.66 * std::log10(degrees)) * v.msPeriodS / a / 100);
    case MagnitudeKind::Mb:
        if (km <= kTeleseismicKm) return std::nullopt;
        return finitePositive(std::pow(10.0, m - mbTerm(v, degrees)) * v.mbPeriodS / a / 100);
    }
    return std::nullopt;
}

std::optional<double> CMagCalc::displacementFor(MagnitudeKind kind, double m, const MagCalcValues& v) const {
    if (!positive(v.distanceKm)) return std::nullopt;
    const double km = *v.distanceKm, degrees = km / kKmPerDegree;
    switch (kind) {
    case MagnitudeKind::Ml: {
        const double a0 = minusLogA0At(km);
        if (km > kTeleseismicKm || a0 == 0) return std::nullopt;
        return finitePositive(std::pow(10.0, m - a0) / 2800 * 0.001);
    }
    case MagnitudeKind::Ms:
        if (km <= kTeleseismicKm) return std::nullopt;
        return finitePositive(std::pow(10.0, m - 3.3 - 1.66 * std::log10(degrees)) * v.msPeriodS * 1e-6);
    case MagnitudeKind::Mb:
        if (km <= kTeleseismicKm) return std::nullopt;
        return finitePositive(std::pow(10.0, m - mbTerm(v, degrees)) * v.mbPeriodS * 1e-6);
    }
    return std::nullopt;
}

std::optional<double> CMagCalc::parseDisplacement(std::string_view text) {
    double value = 0;
    std::size_t used = 0;
    if (!takeDouble(text, value, used)) return std::nullopt;
    const std::string unit = toLower(trim(text.substr(used)));
    if (unit.empty() || unit == "m") return value;
    if (unit == "cm") return value * 1e-2;
    if (unit == "mm") return value * 1e-3;
    if (unit == "um") return value * 1e-6;
    if (unit == "nm") return value * 1e-9;
    return std::nullopt;
}

std::string CMagCalc::displacementText(double metres) {
    const double magnitude = std::fabs(metres);
    struct Unit {
        double scale;
        const char* name;
    };
    const Unit units[] = {{1e-9, "nm"}, {1e-6, "um"}, {1e-3, "mm"}, {1e-2, "cm"}};
    Unit chosen = units[0];
    for (const Unit& u : units)
        if (magnitude >= u.scale) chosen = u;
    return format("%-4.6g %s", metres / chosen.scale, chosen.name);
}

std::optional<double> CMagCalc::parseDistanceKm(std::string_view text) {
    double value = 0;
    std::size_t used = 0;
    if (!takeDouble(text, value, used)) return std::nullopt;
    const std::string_view t = trim(text);
    if (t.find('M') != std::string::npos) return value / kMilesPerKm;
    if (t.find('D') != std::string::npos) return value * kKmPerDegree;
    return value;
}

std::string CMagCalc::resultText(const std::optional<double>& value) {
    if (!value || *value == 0) return {};
    return format("%-2.2f", *value);
}

} // namespace tlx
