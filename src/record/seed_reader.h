// The loader's readers of the SEED family: MINISEED files (kinds 6 and 7), SEED volumes (kind 4)
// and the forced reading of a channel of a file parsed beforehand by the document's CSeed.
#pragma once

#include "record/format_reader.h"

namespace tlx {

class MiniSeedReader : public FormatReader {
  public:
    int kind() const override { return kKindMiniSeed; }
    HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const override;
    bool readSamples(LoadContext& context, LoadResult& result, int count) const override;
    bool readHeaderOnly(LoadContext& context, LoadResult& result) const override;
};

class SeedVolumeReader : public FormatReader {
  public:
    int kind() const override { return kKindSeed; }
    HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const override;
    bool readSamples(LoadContext& context, LoadResult& result, int count) const override;
    bool readHeaderOnly(LoadContext& context, LoadResult& result) const override;
};

// Forced kinds 2 (a SEED volume channel) and 4 (a channel of a MINISEED or SEED set): the
// channel named by the context's channel index, from the document's CSeed when it already
// holds this file, else from the file itself.
class SeedChannelReader : public FormatReader {
  public:
    int kind() const override { return kKindSeed; }
    HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const override;
    bool readSamples(LoadContext& context, LoadResult& result, int count) const override;
};

} // namespace tlx
