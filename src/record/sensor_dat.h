// SENSOR.DAT: per-station sensor defaults that readers of files without a full sensor
// description (SVX Type 3, SEED data) apply to the records they build.
#pragma once

#include "record/event_record.h"
#include "record/format_reader.h"

#include <filesystem>
#include <string_view>

namespace tlx {

// SENSOR.DAT in the local data directory, else in the program directory; empty when neither has one.
std::filesystem::path findSensorDat(const LoaderSettings& settings);

// Applies the section of `stationId` found in the text of a SENSOR.DAT file. Returns whether
// the station has a section; problems in the file are silent.
bool applySensorDefaultsText(std::string_view text, std::string_view stationId, EventRecord& record);

// Looks the file up and applies it; nothing happens when the file or the station is missing.
bool applySensorDefaults(const LoaderSettings& settings, std::string_view stationId, EventRecord& record);

} // namespace tlx
