// The "Magnitude Calculator": magnitudes from typed values, and the same formulas solved
// backwards for the displacement, counts, sensitivity or correction that give a magnitude.
#pragma once

#include "seismo/attenuation_table.h"

#include <optional>
#include <string>
#include <string_view>

namespace tlx {

struct MagCalcValues {
    std::optional<double> displacementM; // "Peak Displacement:" in metres
    std::optional<double> counts;        // "Peak A/D Counts:"
    std::optional<double> sensitivity;   // cm per A/D bit
    std::optional<double> correction;    // "Magnitude Correction:"
    std::optional<double> distanceKm;
    // "Mb Depth / Dist Correction:": a Q(distance, depth) typed from the user's own table takes
    // the place of the distance term 0.01 x degrees + 5.9.
    std::optional<double> mbDistanceTerm;
    double msPeriodS = 20;
    double mbPeriodS = 1;
};

struct MagCalcResults {
    std::optional<double> minusLogA0;
    std::optional<double> ml, mlCorrection;
    std::optional<double> ms, msCorrection;
    std::optional<double> mb, mbCorrection;
    std::optional<double> mbDistanceTerm;  // the term Mb used
    bool teleseismicFieldsEnabled = false; // Ms and Mb fields, beyond 556 km
};

enum class MagnitudeKind { Ml, Ms, Mb };

class CMagCalc {
  public:
    explicit CMagCalc(const AttenuationTables& tables) : tables_(tables) {}

    MagCalcResults calculate(const MagCalcValues& v) const;

    // Fills displacement, counts or sensitivity when exactly one of the three is missing.
    static void fillMissing(MagCalcValues& v);
    // The correction that makes the "Mag Corr && Counts" magnitude M (counts known).
    std::optional<double> correctionFor(MagnitudeKind kind, double m, const MagCalcValues& v) const;
    // The displacement (m) that makes the magnitude M.
    std::optional<double> displacementFor(MagnitudeKind kind, double m, const MagCalcValues& v) const;

    // "12.5 mm", "3um", "0.002" (metres): the displacement in metres.
    static std::optional<double> parseDisplacement(std::string_view text);
    // "%-4.6g", a blank and the unit of the value's scale (nm, um, mm or cm).
    static std::string displacementText(double metres);
    // Distance fields: a value containing "M" is miles, one containing "D" degrees, else km.
    static std::optional<double> parseDistanceKm(std::string_view text);
    // Results are shown with "%-2.2f"; a zero or absent result leaves the field empty.
    static std::string resultText(const std::optional<double>& value);

  private:
    double minusLogA0At(double km) const;
    static double mbTerm(const MagCalcValues& v, double degrees);
    const AttenuationTables& tables_;
};

} // namespace tlx
