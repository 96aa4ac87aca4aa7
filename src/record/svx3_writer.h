// Writer of SVX Type 3 event files (the "SVX Type 3" choice of the save dialog): the older binary
// format with a 200-byte header of 16-bit words and int16 samples.
#pragma once

#include "record/svx4_writer.h"

#include <filesystem>

namespace tlx {

struct Svx3Options {
    int yCompression = 1;        // samples are divided by Y and the magnitude correction multiplied by it
    bool regionalTables = false; // the window uses the regional travel-time tables (pick flags bit 14)
};

// Writes the record as a version 3 file, atomically. Refuses (with a message) a record whose
// written count or time span the format cannot carry back to the reader.
bool writeSvx3File(const std::filesystem::path& path, const WriteChannel& channel,
                   const WriterOptions& options, const Svx3Options& svx3, Messages& messages);

} // namespace tlx
