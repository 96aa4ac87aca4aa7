// The waveform view's number rules: engineering units, tidy full-scale values, zoom factors,
// grid steps and the read-out texts. Qt-free so that every rule is tested on its own.
#pragma once

#include "record/event_record.h"

#include <cstdint>
#include <string>

namespace tlx::views {

enum YMode { kModeCounts = 0, kModeSensor = 1, kModeVoltsAd = 2, kModeVoltsAmp = 3 };

struct Engineering {
    double mantissa = 0;
    double multiplier = 1;
};

// Splits a value into a mantissa of 1..999 and a unit multiplier (1e9 ... 1e-6). With
// `centimetres` a millimetre value of 10 or more is shown in centimetres.
Engineering engineeringSplit(double value, bool centimetres = false);

// The tidy full-scale value for a mantissa (2.34 -> 2.5, 123.4 -> 130, 620 -> 625).
double tidyFullScale(double mantissa);

// Display units per A/D count in a Y-scale mode; 0 when the record lacks the calibration.
double unitsPerCount(int mode, const EventRecord& record);
bool modeAvailable(int mode, const EventRecord& record);
// The mode a window opens in: sensor units, else volts at the A/D input, else counts.
int defaultMode(const EventRecord& record);

// Unit name for a mode and multiplier ("Micrometers", "Counts" ...); empty when not in the table.
std::string unitName(int mode, double multiplier);

// Y zoom: index -47..47; negative indexes enlarge the traces.
constexpr int kMaxZoomIndex = 47;
double yZoomFactor(int index);
int clampZoomIndex(int index);

// Time grid: base step by span, then the smallest multiple that keeps the line count in range.
int timeGridBaseStep(double spanSeconds);
int timeGridStep(double spanSeconds, int graphWidth);

// Rounds half away from zero, as the trace and marker maths want.
long roundHalfAway(double v);

// Milliseconds of the day as "%02d:%02d:%02d.%1d" (tenths), wrapping past midnight.
std::string timeOfDayText(std::int64_t ms);
// An S-P time in ms as seconds.hundredths below a minute, else minutes:seconds.hundredths.
std::string spDiffText(std::int64_t ms);

// "%4.4g" unless the magnitude is 1000 or more ("%d").
std::string countText(double value);

// A value with a metric prefix ("%4.4g %s%s" style): returns the scaled value and the prefix.
struct Prefixed {
    double value = 0;
    const char* prefix = "";
};
Prefixed metricPrefix(double value);

} // namespace tlx::views
