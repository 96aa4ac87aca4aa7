#include "views/view_math.h"

#include "core/text.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tlx::views {

Engineering engineeringSplit(double value, bool centimetres) {
    Engineering e;
    e.mantissa = value;
    if (value < 1e-9) {
        e.mantissa = value / 1e-9;
        e.multiplier = 1e9;
    } else if (value >= 1.0 - 1e-13) {
        while (e.mantissa >= 1000) {
            e.mantissa /= 1000;
            e.multiplier /= 1000;
        }
    } else {
        while (e.mantissa < 1) {
            e.mantissa *= 1000;
            e.multiplier *= 1000;
        }
    }
    if (centimetres && e.multiplier == 1000 && e.mantissa >= 10) {
        e.multiplier = 100;
        e.mantissa /= 10;
    }
    return e;
}

double tidyFullScale(double m) {
    if (m < 10) {
        const double t = 10 * m;
        if (t != std::floor(t)) return (std::floor(t) + 2) / 10;
        return std::ceil(m);
    }
    if (m != std::floor(m)) m += 1;
    const double step = m >= 500 ? 25 : m >= 100 ? 10 : m >= 50 ? 5 : 1;
    return std::floor((m - 1) / step + 1) * step;
}

double unitsPerCount(int mode, const EventRecord& record) {
    const ChannelHeader& h = record.header;
    const int adBits = h.adBits;
    const double adVolts = record.info.adVolts;
    switch (mode) {
    case kModeCounts:
        return 1;
    case kModeVoltsAd:
        return adVolts != 0 && adBits > 0 ? adVolts / (std::ldexp(1.0, adBits) * 0.5) : 0;
    case kModeVoltsAmp:
        return adVolts != 0 && adBits > 0 && record.info.ampGain != 0
                   ? adVolts / (std::ldexp(1.0, adBits) * 0.5) / record.info.ampGain
                   : 0;
    case kModeSensor: {
        const double sensitivity = h.sensitivity;
        return h.sensorType != 0 && sensitivity != 0 ? sensitivity / 100 : 0;
    }
    default:
        return 0;
    }
}

bool modeAvailable(int mode, const EventRecord& record) {
    return unitsPerCount(mode, record) > 0;
}

int defaultMode(const EventRecord& record) {
    for (int mode : {kModeSensor, kModeVoltsAd})
        if (modeAvailable(mode, record)) return mode;
    return kModeCounts;
}

std::string unitName(int mode, double multiplier) {
    static const std::array<double, 7> multipliers = {1e9, 1e6, 1e3, 100, 1, 0.001, 1e-6};
    static const char* const counts[7] = {"Nano Counts", "Micro Counts", "Milli Counts", "",
                                          "Counts",      "Kilo Counts",  "Mega Counts"};
    static const char* const volts[7] = {"Nanovolts", "Microvolts", "Millivolts", "", "Volts", "Kilovolts",
                                         ""};
    static const char* const metres[7] = {
        "Nanometers", "Micrometers", "Millimeters", "Centimeters", "Meters", "Kilometers", ""};
    for (std::size_t i = 0; i < multipliers.size(); ++i) {
        if (std::fabs(multiplier - multipliers[i]) > multipliers[i] * 1e-9) continue;
        switch (mode) {
        case kModeCounts:
            return counts[i];
        case kModeSensor:
            return metres[i];
        case kModeVoltsAd:
        case kModeVoltsAmp:
            return volts[i];
        default:
            return {};
        }
    }
    return {};
}

namespace {
std::array<double, 48> makeZoomTable() {
    std::array<double, 48> table{};
    const double steps[13] = {1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5, 6, 7, 8, 9};
    std::size_t n = 0;
    for (double decade : {1.0, 10.0, 100.0})
        for (double s : steps)
            table[n++] = s * decade;
    for (double s : {1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 4.5, 5.0})
        table[n++] = s * 1000;
    return table;
}
} // namespace

double yZoomFactor(int index) {
    static const std::array<double, 48> table = makeZoomTable();
    index = clampZoomIndex(index);
    return index < 0 ? table[static_cast<std::size_t>(-index)] : 1.0 / table[static_cast<std::size_t>(index)];
}

int clampZoomIndex(int index) {
    return std::clamp(index, -kMaxZoomIndex, kMaxZoomIndex);
}

int timeGridBaseStep(double span) {
    if (span <= 30) return 1;
    if (span <= 120) return 5;
    if (span <= 480) return 10;
    return 30;
}

int timeGridStep(double span, int graphWidth) {
    const int maxLines = std::clamp(graphWidth / 40, 2, 25);
    const int base = timeGridBaseStep(span);
    int step = base;
    while (span / step > maxLines)
        step += base;
    return step;
}

long roundHalfAway(double v) {
    return std::lround(v);
}

std::string timeOfDayText(std::int64_t ms) {
    ms %= kMsPerDay;
    if (ms < 0) ms += kMsPerDay;
    const int h = static_cast<int>(ms / 3'600'000);
    const int m = static_cast<int>(ms / 60'000 % 60);
    const int s = static_cast<int>(ms / 1000 % 60);
    const int tenths = static_cast<int>(ms % 1000 / 100);
    return format("%02d:%02d:%02d.%1d", h, m, s, tenths);
}

std::string spDiffText(std::int64_t ms) {
    const long hundredths = static_cast<long>((ms + 5) / 10);
    if (ms < 60'000) return format("%02ld.%02ldsec", hundredths / 100, hundredths % 100);
    const long seconds = hundredths / 100;
    return format("%d:%02d.%-2dmin", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60),
                  static_cast<int>(hundredths % 100));
}

std::string countText(double value) {
    if (std::fabs(value) >= 1000) return format("%d", static_cast<int>(std::lround(value)));
    return format("%4.4g", value);
}

Prefixed metricPrefix(double value) {
    static const std::pair<double, const char*> prefixes[] = {
        {1, ""}, {1e-3, "m"}, {1e-6, "u"}, {1e-9, "n"}, {1e-12, "p"}};
    const double a = std::fabs(value);
    if (a == 0) return {0, ""};
    for (const auto& [scale, name] : prefixes)
        if (a >= scale) return {value / scale, name};
    return {value / 1e-12, "p"};
}

} // namespace tlx::views
