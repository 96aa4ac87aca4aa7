// The event window's distance read-out as numbers: computed once from the markers and the tables,
// then written as the window's distance line or as the console's JSON.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tlx::views {

// The magnitudes of the read-out; each absent when not computed.
struct MagnitudeValues {
    std::optional<double> ml, ms, mb, md;
    bool any() const { return ml || ms || mb || md; }
};

// The magnitudes the line shows for a magnitude-marker mode: Mb alone in Mb mode; otherwise Ml,
// with Md in Md mode or else Ms.
MagnitudeValues shownMagnitudes(int magMode, const MagnitudeValues& computed);
// "Ml%s ", "Ml%s Ms%s ", "Ml%s Md%s ", "Mb%s " (each "%2.1f"); empty when none is shown.
std::string magnitudeText(int magMode, const MagnitudeValues& computed);

struct Readout {
    std::optional<std::int64_t> pMs, sMs; // marker times, ms of day; absent when not placed
    std::optional<std::int64_t> spMs;     // S - P (an S after midnight counts on the next day)
    bool outOfRange = false;              // S - P above 0 but the tables give no distance
    bool found = false;                   // the fields below are set
    double degrees = 0, km = 0, miles = 0;
    double depthKm = 0, hypocentralKm = 0;
    double pTravelSeconds = 0;
    std::int64_t originMs = 0;                 // P time - P travel time; below 0 on the day before
    std::string tableName;                     // "JB: ", "Reg: " or "IA91: "
    std::optional<MagnitudeValues> magnitudes; // the shown ones; absent: "***"
};

// "Org: ... P: ... S: ... Diff: ...  Dist: ...km ...mi ...deg Mag: ... Reg: ", or with
// "  Table Out Of Range  ", or asterisks without a distance.
std::string readoutLine(const Readout& r);

} // namespace tlx::views
