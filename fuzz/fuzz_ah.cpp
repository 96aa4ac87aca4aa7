// AH text files through the loader and the header-only reader.
#include "record/loader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::RecordingMessages messages;
    tlx::EventLoader loader(messages);
    const std::span<const std::uint8_t> bytes(data, size);
    loader.loadBytes(bytes, "fuzz.ah", tlx::LoadRequest{});
    loader.readHeaderOnlyBytes(bytes, "fuzz.ah");
    return 0;
}
