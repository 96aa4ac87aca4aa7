// SVX Type 4 files and volumes through the loader, the header-only reader and recognition.
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
    return 0;
}
