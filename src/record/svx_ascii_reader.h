// Reader of SVX ASCII event files, versions 1.0 and 2.0: key/value header lines, the "Data:"
// keyword line, then one sample per line.
#pragma once

#include "record/format_reader.h"

#include <string_view>

namespace tlx {

constexpr char kSvxAsciiMagic[] = "! SVX ASCII Event File Format 2.0";

class SvxAsciiReader : public FormatReader {
  public:
    int kind() const override { return kKindSvx4; }
    HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const override;
    bool readSamples(LoadContext& context, LoadResult& result, int count) const override;
};

// The "Event Information" and "Pick Information" values; false (entry untouched) when the text
// does not parse up to its last field.
bool parseEventInformation(std::string_view value, EventEntry& entry);
bool parsePickInformation(std::string_view value, PickEntry& pick);

// Picks of the older formats: offsets in tenths of a second after the start time, the legacy
// weight and flags word, and a coda duration in tenths after the P pick (0 for none).
void addLegacyPicks(EventRecord& record, int pTenths, int sTenths, int pWeight, int sWeight, int flags,
                    int mdTenths);

} // namespace tlx
