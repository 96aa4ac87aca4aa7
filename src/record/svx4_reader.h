// Readers of SVX Type 4 single-channel files and "SVXVOLUME1" data-set volumes.
#pragma once

#include "record/format_reader.h"
#include "record/svx4_format.h"

namespace tlx {

class Svx4Reader : public FormatReader {
  public:
    int kind() const override { return kKindSvx4; }
    HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const override;
    bool readSamples(LoadContext& context, LoadResult& result, int count) const override;
    bool readHeaderOnly(LoadContext& context, LoadResult& result) const override;
};

// With `oneChannel` (the forced load of a channel chosen in the browser) only the channel that the
// load request names is read, as a single SVX Type 4 record.
class Svx4VolumeReader : public FormatReader {
  public:
    explicit Svx4VolumeReader(bool oneChannel = false) : oneChannel_(oneChannel) {}
    int kind() const override { return kKindSvxVolume; }
    HeaderStatus readHeader(LoadContext& context, LoadResult& result, std::string& failure) const override;
    bool readSamples(LoadContext& context, LoadResult& result, int count) const override;
    bool readHeaderOnly(LoadContext& context, LoadResult& result) const override;

  private:
    HeaderStatus readChannels(LoadContext& context, LoadResult& result, VarHeaderScope scope,
                              std::vector<std::size_t>& offsets) const;
    bool oneChannel_;
};

// Reads one channel's samples at `offset` (its fixed header), checking the CRC that follows
// unless the header says there is none. Shared by both readers.
bool readSvx4ChannelSamples(LoadContext& context, std::size_t offset, LoadedChannel& channel, int count);

} // namespace tlx
