// SEED volumes and dataless volumes through CSeed and the loader (load and header-only).
#include "record/loader.h"
#include "record/seed.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    tlx::CSeed seed;
    if (seed.readSeedVolume(bytes)) {
        for (std::size_t k = 0; k < seed.traces().size() && k < 4; ++k) {
            tlx::EventRecord record;
            std::vector<double> samples;
            seed.fillFromVolumeChannel(k, record, &samples, nullptr);
            seed.applyDataless(record.stationName(), record.component(), record);
        }
        seed.listChannels();
    }
    tlx::RecordingMessages messages;
    tlx::EventLoader loader(messages);
    tlx::LoadRequest request;
    loader.loadBytes(bytes, "fuzz.seed", request);
    loader.readHeaderOnlyBytes(bytes, "fuzz.seed");
    request.forcedKind = tlx::kForceSeedVolume;
    request.seed = &seed;
    loader.loadBytes(bytes, "fuzz.seed", request);
    return 0;
}
