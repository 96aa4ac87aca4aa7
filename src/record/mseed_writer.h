// Writer of miniSEED 2 files: data records with blockettes 1000 and 1001, big-endian, Steim2 or
// plain 32-bit integers or IEEE floats, 512- or 4096-byte records.
#pragma once

#include "record/svx4_writer.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace tlx {

enum class MseedWriteEncoding { Auto, Steim2, Int32, Float32, Float64 };

struct MseedWriteOptions {
    int recordLength = 4096; // 512 or 4096
    MseedWriteEncoding encoding = MseedWriteEncoding::Auto;
};

// Auto: Steim2 for whole numbers whose steps fit 30 bits, int32 for other whole numbers,
// float32 when every value is a 32-bit float, else float64.
MseedWriteEncoding chooseMseedEncoding(std::span<const double> values);

// Rate factor and multiplier (SEED conventions) for a rate; false when none within 16 bits
// gives it to a part in 10^9.
bool rateFactors(double rate, int& factor, int& multiplier);

// The records of one channel appended to `out`, sequence numbers counting on from `sequence`.
// False (with `error`, `out` then partly written) when the values do not suit the encoding.
bool encodeMiniSeedChannel(const WriteChannel& channel, const WriterOptions& options,
                           const MseedWriteOptions& mseed, int& sequence, std::vector<std::uint8_t>& out,
                           std::string& error);

// Every channel into one file, replaced only once complete.
bool writeMiniSeedFile(const std::filesystem::path& path, std::span<const WriteChannel> channels,
                       const WriterOptions& options, const MseedWriteOptions& mseed, Messages& messages);

} // namespace tlx
