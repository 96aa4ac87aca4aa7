// Local (Ml), surface-wave (Ms), body-wave (Mb) and duration (Md) magnitudes, and the period of
// a wave measured from the samples.
#pragma once

#include "seismo/attenuation_table.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tlx {

constexpr double kMlMaxHypocentralKm = 10'600;
constexpr double kTeleseismicKm = 556; // Ms and Mb only beyond this epicentral distance

// What a record contributes: magnitude correction C (per A/D count), sensitivity S (cm per count)
// and the kind of data (3 = displacement; S is used only then).
struct StationResponse {
    double correction = 0;
    double sensitivity = 0;
    int sensorType = 0;
    bool sensitivityUsable() const { return sensitivity != 0 && sensorType == 3; }
};

struct MagnitudePair {
    std::optional<double> byCorrection;
    std::optional<double> bySensitivity;
};

MagnitudePair magnitudeMl(double hypocentralKm, double amplitude, const StationResponse& station,
                          const AttenuationTables& tables);
MagnitudePair magnitudeMs(double epicentralKm, double amplitude, const StationResponse& station,
                          double periodS);
MagnitudePair magnitudeMb(double epicentralKm, double amplitude, const StationResponse& station,
                          double periodS);

struct MdCoefficients {
    double c0 = -0.87;
    double c1 = 2;
    double c2 = 0.0035;
};
// 0 when the duration is 0.
double magnitudeMd(double durationMs, double epicentralKm, const MdCoefficients& coefficients = {});

enum class AmplitudePick { None, Ms, Mb };

// Which amplitude scale the window's magnitudes use: "&Auto Magnitude Sensitivity" (setting
// "MagAuto", default 1) picks sensor units for a record with a usable sensitivity and the
// magnitude correction otherwise; "Use Magnitude &Correction" and "Use &Sensor Units" force one.
enum class MagnitudeUnits { Auto, Correction, SensorUnits };
// The window's starting choice from the "MagAuto" setting: Auto when on, else the correction.
inline MagnitudeUnits magnitudeUnitsFromSetting(bool magAuto) {
    return magAuto ? MagnitudeUnits::Auto : MagnitudeUnits::Correction;
}
// True when the sensitivity values replace the correction values for this record.
bool usesSensorUnits(MagnitudeUnits units, const StationResponse& station);

// Everything the event window knows when it shows magnitudes for one record.
struct WindowMagnitudeInputs {
    double epicentralKm = 0;
    double depthKm = 0;
    double amplitude = 0; // counts: the picked amplitude or the larger excursion from the reference
    AmplitudePick pick = AmplitudePick::None;
    bool mdMode = false;
    double durationMs = 0;
    MagnitudeUnits units = MagnitudeUnits::Auto;
    StationResponse station;
    double msPeriodS = 20;
    double mbPeriodS = 1;
    MdCoefficients md;
};

struct WindowMagnitudes {
    std::optional<double> ml, ms, mb, md;
    bool usedSensorUnits = false;
};

// tables: the record's -log A0 set (its own "MAGTBL.<sensorId>", else magtbl.dat); null when there
// is none, and then only Ml is absent: Ms, Mb and Md need no table.
WindowMagnitudes windowMagnitudes(const WindowMagnitudeInputs& in, const AttenuationTables* tables);
inline WindowMagnitudes windowMagnitudes(const WindowMagnitudeInputs& in, const AttenuationTables& tables) {
    return windowMagnitudes(in, tables.empty() ? nullptr : &tables);
}
// The same with the table of the record's sensor taken from the set (loaded on first use).
WindowMagnitudes windowMagnitudes(const WindowMagnitudeInputs& in, AttenuationTableSet& tables,
                                  std::string_view sensorId);

// The period of the largest excursion among the visible samples: twice the time between the zero
// crossings around it. error holds "Can't find peak point" or "Can't find zero crossing".
struct PeriodMeasurement {
    double seconds = 0;
    std::string error;
};
PeriodMeasurement measurePeriod(std::span<const double> samples, std::size_t firstVisible,
                                std::size_t visibleCount, double zeroLine, double sps);

// The period commands: ok with the confirmation text, or the range error text.
struct PeriodCheck {
    bool ok = false;
    std::string message;
};
PeriodCheck checkMsPeriod(double seconds);
PeriodCheck checkMbPeriod(double seconds);

} // namespace tlx
