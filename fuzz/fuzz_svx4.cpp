// SVX Type 4 files and volumes through the loader, the header-only reader, recognition and the
// forced load of one volume channel.
#include "record/loader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::RecordingMessages messages;
    tlx::EventLoader loader(messages);
    const std::span<const std::uint8_t> bytes(data, size);
    loader.loadBytes(bytes, "fuzz.svx", tlx::LoadRequest{});
    loader.readHeaderOnlyBytes(bytes, "fuzz.svx");
    loader.recognise(bytes);
    tlx::LoadRequest channel;
    channel.forcedKind = tlx::kForceSvxVolumeChannel;
    channel.channelIndex = static_cast<int>(size % 4);
    loader.loadBytes(bytes, "fuzz.svx", channel);
    return 0;
}
