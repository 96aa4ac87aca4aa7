// PEPP files: recognition through the loader, the forced load of the trace the first byte names
// and the header-only walk through every trace.
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
    loader.readHeaderOnlyBytes(bytes, "fuzz.pep");
    return 0;
}
