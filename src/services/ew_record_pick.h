// A record's P pick added to the phase file, with its station added to the station file when the
// user agrees: what the picks dialog's Add and `tellurix-cli arc --add` do.
#pragma once

#include "core/messages.h"
#include "record/event_record.h"
#include "services/ew_phase_file.h"

#include <filesystem>

namespace tlx {

EwNewPick ewPickOfRecord(const EventRecord& record, double time);
// Whether a pick ("STA.CMP") names the record's station and component.
bool ewPickMatches(const EwPick& pick, const EventRecord& record);

// A marker time (ms from the midnight before the record's start) as seconds since 1970, and back.
double ewTimeOfMarker(const EventRecord& record, std::int64_t markerMs);
std::int64_t ewMarkerOfTime(const EventRecord& record, double time);

// The weight list's entries: 0-3 set that weight and enable the pick, 4 sets '4', later ones set
// '4' and disable it.
void ewApplyWeightEntry(EwPick& pick, int entry);

// stationFile empty: no station file is kept. False with the message shown through `messages`.
bool addRecordPick(EwPhaseFile& phases, const EventRecord& record, double time,
                   const std::filesystem::path& stationFile, Messages& messages);

} // namespace tlx
