// P, S and duration marker positions kept in the records as picks, with the travel-time table
// choice and depth in use and each marker's height on the screen; and the markers taken back.
#pragma once

#include "document/eq_doc.h"

#include <cstdint>
#include <optional>

namespace tlx {

constexpr int kPickGraphHeight = 1024; // weights are heights on a graph this tall

// A marker as the view holds it: time of day in ms (on the time axis) and the box's top.
struct PickMarker {
    std::int64_t timeMs = 0;
    int y = 0;
};

struct PicksToSave {
    PickMarker p, s;
    std::optional<PickMarker> md; // the duration marker, when placed
    std::int64_t axisStartMs = 0;
    int graphTop = 0, graphHeight = 1;
    int tableMode = 0;  // 0 regional, 1 teleseismic, 2 IASP91
    double depthKm = 0; // of the tables in use
};

// Every record loses its picks and gets P, S (and Md) on the first record's time base; each is
// marked modified.
void savePicks(CEqDoc& doc, const PicksToSave& picks);
void clearPicks(CEqDoc& doc);
bool anyRecordHasPicks(const CEqDoc& doc);

struct RestoredMarker {
    std::int64_t timeMs = 0;
    int weight = 0; // 0: no height stored
};
struct RestoredPicks {
    RestoredMarker p, s;
    std::optional<RestoredMarker> md; // only when it lies after both P and S
    int tableMode = 0;
    int depthKm = 0;
};
// The first "P" and "S" picks of a record as marker times on an axis starting at axisStartMs;
// empty without both.
std::optional<RestoredPicks> restorePicks(const EventRecord& record, std::int64_t axisStartMs);

} // namespace tlx
