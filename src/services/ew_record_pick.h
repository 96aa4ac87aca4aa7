// A record's P pick added to the phase file, with its station added to the station file when the
// user agrees: what the picks dialog's Add and `tellurix-cli arc --add` do.
#pragma once

#include "core/messages.h"
#include "record/event_record.h"
#include "services/ew_phase_file.h"

#include <filesystem>

namespace tlx {

EwNewPick ewPickOfRecord(const EventRecord& record, double time);

// stationFile empty: no station file is kept. False with the message shown through `messages`.
bool addRecordPick(EwPhaseFile& phases, const EventRecord& record, double time,
                   const std::filesystem::path& stationFile, Messages& messages);

} // namespace tlx
