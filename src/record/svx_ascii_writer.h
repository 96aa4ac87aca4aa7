// Writer of SVX ASCII 2.0 event files (the "SVX Text" choice of the save dialog).
#pragma once

#include "record/svx4_writer.h"

#include <filesystem>
#include <string>

namespace tlx {

// What precedes each value on a data line: nothing, the sample's date and time, or its
// seconds since the start.
enum class TimeColumn { None = 0, DateTime = 1, Seconds = 2 };

std::string encodeSvxAscii(const WriteChannel& channel, const WriterOptions& options, TimeColumn timeColumn);

bool writeSvxAscii(const std::filesystem::path& path, const WriteChannel& channel,
                   const WriterOptions& options, TimeColumn timeColumn, Messages& messages);

} // namespace tlx
