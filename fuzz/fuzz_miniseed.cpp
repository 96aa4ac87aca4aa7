// MINISEED data through CSeed (traces, record fills, channel list) and the loader.
#include "record/loader.h"
#include "record/seed.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    tlx::CSeed seed;
    if (seed.readMiniSeed(bytes)) {
        for (std::size_t k = 0; k < seed.traces().size() && k < 4; ++k) {
            tlx::EventRecord record;
            std::vector<double> samples;
            seed.fillFromTrace(k, record, &samples);
        }
        seed.listChannels();
    }
    tlx::RecordingMessages messages;
    tlx::EventLoader loader(messages);
    tlx::LoadRequest request;
    request.seed = &seed;
    loader.loadBytes(bytes, "fuzz.mseed", request);
    request.forcedKind = tlx::kForceSeedChannel;
    request.channelIndex = 1;
    loader.loadBytes(bytes, "fuzz.mseed", request);
    return 0;
}
