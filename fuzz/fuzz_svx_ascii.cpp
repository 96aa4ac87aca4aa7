// SVX ASCII files through the loader; what loads is written back as text and read again.
#include "record/loader.h"
#include "record/svx_ascii_writer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::RecordingMessages messages;
    tlx::EventLoader loader(messages);
    const std::span<const std::uint8_t> bytes(data, size);
    const tlx::LoadResult r = loader.loadBytes(bytes, "fuzz.txt", tlx::LoadRequest{});
    loader.readHeaderOnlyBytes(bytes, "fuzz.txt");
    if (r.ok && r.channels.front().samples.size() < 100'000) {
        const tlx::LoadedChannel& c = r.channels.front();
        const std::string text =
            tlx::encodeSvxAscii({&c.record, c.samples, 0}, {}, tlx::TimeColumn::DateTime);
        const tlx::LoadResult again =
            loader.loadBytes({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}, "again.txt",
                             tlx::LoadRequest{});
        if (!again.ok || again.channels.front().samples.size() != c.samples.size()) __builtin_trap();
    }
    return 0;
}
