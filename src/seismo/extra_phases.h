// The extra phases as the event windows show them: marker labels and the rows of the
// "Phase Times" window.
#pragma once

#include "seismo/travel_times.h"

#include <string>
#include <vector>

namespace tlx {

inline constexpr const char* kPhasesFileName = "phases.dat";

struct PhaseMarkerLabel {
    std::string text;
    int iasp91 = 0;
    int phaseIndex = 0;
};

// The phase name with "-(IASP91)" shown as " (I91)".
PhaseMarkerLabel phaseMarkerLabel(const PhaseTable& table);

struct PhaseTimeRow {
    std::string name;
    int timeOfDayMs = 0;
    std::string afterOrigin; // "%ld.%02ld" seconds after the origin; empty for the origin row
};

inline constexpr std::size_t kMaxPhaseTimeRows = 29;

// "Origin", "P", "S" and every extra phase of the shown kind that has an arrival, sorted by the
// time after the origin (a time before the origin counts as the next day), at most 29 rows.
std::vector<PhaseTimeRow> phaseTimeRows(const CTravelTm& tables, const WindowTravelTimes& w, int originMs,
                                        double distanceDegrees, int pMs, int sMs, bool iasp91Kind);

// "hh:mm:ss.hh" for a time of day in ms.
std::string timeOfDayText(int ms);

} // namespace tlx
