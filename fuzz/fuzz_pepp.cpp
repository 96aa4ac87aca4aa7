// PEPP files: recognition through the loader and the forced load of the trace the first byte names.
#include "record/loader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    tlx::RecordingMessages messages;
    tlx::EventLoader loader(messages);
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    loader.loadBytes(bytes, "fuzz.pep", tlx::LoadRequest{});
    tlx::LoadRequest forced;
    forced.forcedKind = tlx::kForcePepp;
    forced.channelIndex = data[0] % 8;
    loader.loadBytes(bytes, "fuzz.pep", forced);
    return 0;
}
