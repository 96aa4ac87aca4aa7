// Writer of SAC binary files: one record, 32-bit float samples, the chosen byte order.
#pragma once

#include "record/sac_format.h"
#include "record/svx4_writer.h"

#include <filesystem>
#include <vector>

namespace tlx {

// The header words a record gives (statistics left undefined), for `count` written samples at `sps`;
// the distance words need a geography.
SacHeader sacHeaderFromRecord(const EventRecord& record, double sps, int count,
                              const Geography* geography = nullptr);

// The whole file image: header with DEPMIN/DEPMAX/DEPMEN, then the samples averaged in groups of
// N, DC removed and inverted as the options say.
std::vector<std::uint8_t> encodeSacFile(const WriteChannel& channel, const WriterOptions& options,
                                        SacByteOrder order);

// Asks before overwriting when the options say so; the file is replaced only once complete.
bool writeSacFile(const std::filesystem::path& path, const WriteChannel& channel,
                  const WriterOptions& options, SacByteOrder order, Messages& messages);

} // namespace tlx
