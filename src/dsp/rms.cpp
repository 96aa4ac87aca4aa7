#include "dsp/rms.h"

#include "core/text.h"

#include <cmath>

namespace tlx {

RmsValues measureRms(std::span<const double> x, double r) {
    RmsValues v;
    v.points = static_cast<int>(x.size());
    if (x.empty()) return v;
    double squares = 0, sum = 0;
    for (double s : x) {
        const double d = s - r;
        squares += d * d;
        sum += s;
        if (d > v.maximum) v.maximum = d;
        if (d < v.minimum) v.minimum = d;
    }
    const double n = static_cast<double>(x.size());
    v.rms = std::sqrt(squares / n);
    v.total = std::fabs(v.minimum) + v.maximum;
    v.mean = sum / n - r;
    return v;
}

double voltsPerCount(double adVolts, int adBits) {
    if (adVolts == 0 || adBits <= 0 || adBits > 62) return 0;
    return adVolts / (std::ldexp(1.0, adBits) * 0.5);
}

std::string voltsText(double volts) {
    const double a = std::fabs(volts);
    if (a == 0 || a >= 1) return format("%4.4g Volts", volts);
    if (a >= 1e-3) return format("%4.4g Millivolts", volts * 1e3);
    if (a >= 1e-6) return format("%4.4g Microvolts", volts * 1e6);
    return format("%4.4g Nanovolts", volts * 1e9);
}

namespace {

// Metres scaled to n, u, m or c (or none from one metre up).
std::string metresText(double metres, const char* unit) {
    const double a = std::fabs(metres);
    const char* prefix = "";
    double scale = 1;
    if (a == 0 || a >= 1) {
    } else if (a >= 1e-2) {
        prefix = "c", scale = 1e2;
    } else if (a >= 1e-3) {
        prefix = "m", scale = 1e3;
    } else if (a >= 1e-6) {
        prefix = "u", scale = 1e6;
    } else {
        prefix = "n", scale = 1e9;
    }
    return format("%4.4g %s%s", metres * scale, prefix, unit);
}

} // namespace

std::string rmsText(const RmsValues& v, RmsUnits units, const RmsCalibration& c) {
    static const char* const kNames[] = {"RMS", "Maximum", "Minimum", "Total", "Mean"};
    const double values[] = {v.rms, v.maximum, v.minimum, v.total, v.mean};
    std::string text;
    if (units == RmsUnits::AdCounts) {
        const double mean = std::fabs(v.mean) < 0.01 ? 0.0 : v.mean;
        text = format("RMS: %6.3f\r\nMaximum: %6.3f\r\nMinimum: %6.3f\r\nTotal: %6.3f\r\nMean: %6.3f\r\n",
                      v.rms, v.maximum, v.minimum, v.total, mean);
    } else if (units == RmsUnits::AdVolts || units == RmsUnits::AmpVolts) {
        double factor = voltsPerCount(c.adVolts, c.adBits);
        if (units == RmsUnits::AmpVolts) factor = c.ampGain != 0 ? factor / c.ampGain : 0;
        for (int i = 0; i < 5; ++i)
            text += format("%s: %s\r\n", kNames[i], voltsText(values[i] * factor).c_str());
    } else {
        // m/sec² (superscript two, code 178, written as UTF-8), m/sec or m.
        const std::string unit = c.sensorType == 1   ? std::string("m/sec\u00B2")
                                 : c.sensorType == 2 ? "m/sec"
                                                     : "m";
        for (int i = 0; i < 5; ++i)
            text += format("%s: %s\n", kNames[i],
                           metresText(values[i] * c.sensitivity / 100, unit.c_str()).c_str());
    }
    text += format("Sample Points: %d", v.points);
    return text;
}

} // namespace tlx
