// Reader of AH text files: "station information", "event  information" and "record  information"
// sections of key lines, then "data:" and one integer sample per line.
#pragma once

#include "record/format_reader.h"

namespace tlx {

class AhReader : public FormatReader {
  public:
    int kind() const override { return kKindAh; }
    HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const override;
    bool readSamples(LoadContext& context, LoadResult& result, int count) const override;
};

} // namespace tlx
