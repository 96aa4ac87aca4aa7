// RMS, maximum, minimum, peak-to-peak and mean of the visible part of a record.
#pragma once

#include <span>
#include <string>

namespace tlx {

struct RmsValues {
    double rms = 0;
    double maximum = 0; // largest positive deviation from the reference level
    double minimum = 0; // largest negative deviation
    double total = 0;   // |minimum| + maximum
    double mean = 0;
    int points = 0;
};

// Over the visible samples, around the reference level r used for drawing.
RmsValues measureRms(std::span<const double> visible, double reference);

enum class RmsUnits { AdCounts, AdVolts, AmpVolts, SensorUnits };

// The record's calibration as plain values.
struct RmsCalibration {
    double adVolts = 0;
    int adBits = 0;
    double ampGain = 0;
    double sensitivity = 0; // cm per count
    int sensorType = 0;
};

// adVolts / (2^adBits × 0.5); 0 when unknown.
double voltsPerCount(double adVolts, int adBits);

// Volts with an engineering unit name: "%4.4g %s" with "Volts", "Millivolts", "Microvolts" or "Nanovolts".
std::string voltsText(double volts);

// The read-out of the dialog in the chosen units, ending with "Sample Points: %d".
std::string rmsText(const RmsValues& v, RmsUnits units, const RmsCalibration& calibration);

} // namespace tlx
