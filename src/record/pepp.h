// Reader of PEPP files: a 641-byte trace header and float32 samples; multi-trace files begin
// with "PEPP" and separate their traces by a 4-byte marker.
#pragma once

#include "record/format_reader.h"

namespace tlx {

constexpr std::size_t kPeppHeaderSize = 641;
constexpr std::uint32_t kPeppTraceMarker = 0x05B83A2B;

// Recognition reads the first trace; the forced load (the caller chose a trace) reads the
// trace whose index the load request names.
class PeppReader : public FormatReader {
  public:
    explicit PeppReader(bool forced = false) : forced_(forced) {}
    int kind() const override { return kKindPepp; }
    HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const override;
    bool readSamples(LoadContext& context, LoadResult& result, int count) const override;
    // Every trace of a multi-trace file, in order up to the first that cannot be read.
    bool readHeaderOnly(LoadContext& context, LoadResult& result) const override;

  private:
    int traceIndex(const LoadContext& context) const { return forced_ ? context.channelIndex : -1; }
    bool forced_;
};

// Offset of the header of trace `index` (-1 or 0 for the first); false when the file has no such
// trace or a header on the way fails the check.
bool locatePeppTrace(std::span<const std::uint8_t> bytes, int index, std::size_t& headerOffset);

} // namespace tlx
