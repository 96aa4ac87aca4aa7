// Reader of SAC binary files (file kind 2), either byte order.
#pragma once

#include "record/format_reader.h"
#include "record/sac_format.h"

#include <optional>

namespace tlx {

class SacReader : public FormatReader {
  public:
    int kind() const override { return kKindSac; }
    HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const override;
    bool readSamples(LoadContext& context, LoadResult& result, int count) const override;
};

// The byte order of a file that passes the SAC check; empty for anything else. The writer keeps
// the order of a window that was read from SAC.
std::optional<SacByteOrder> sacFileByteOrder(std::span<const std::uint8_t> bytes);

// count 32-bit floats in the given byte order, widened; the caller has checked the bounds.
void decodeSacSamples(const std::uint8_t* bytes, SacByteOrder order, std::size_t count, double* out);

} // namespace tlx
