// SAC files through the loader (both byte orders), recognition and the byte-order probe.
#include "record/loader.h"
#include "record/sac_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::RecordingMessages messages;
    tlx::EventLoader loader(messages);
    const std::span<const std::uint8_t> bytes(data, size);
    loader.loadBytes(bytes, "fuzz.sac", tlx::LoadRequest{});
    loader.readHeaderOnlyBytes(bytes, "fuzz.sac");
    tlx::sacFileByteOrder(bytes);
    return 0;
}
