// GSE2.0 messages: recognition and loading, a forced load of the second waveform, and the
// parser with its file-browser listing and the header-only reading of every waveform.
#include "record/gse2_reader.h"
#include "record/loader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::RecordingMessages messages;
    tlx::EventLoader loader(messages);
    const std::span<const std::uint8_t> bytes(data, size);
    loader.loadBytes(bytes, "fuzz.gse", tlx::LoadRequest{});
    tlx::LoadRequest forced;
    forced.forcedKind = tlx::kForceGse2;
    forced.channelIndex = 1;
    loader.loadBytes(bytes, "fuzz.gse", forced);
    loader.readHeaderOnlyBytes(bytes, "fuzz.gse");
    tlx::CGse20 gse;
    gse.parse({reinterpret_cast<const char*>(data), size}, tlx::StationTable{});
    gse.listing();
    return 0;
}
