// SVX Type 2/3 files through the loader, and the header update of the attach path on a copy.
#include "record/loader.h"
#include "record/svx3.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::RecordingMessages messages;
    tlx::EventLoader loader(messages);
    const std::span<const std::uint8_t> bytes(data, size);
    const tlx::LoadResult r = loader.loadBytes(bytes, "fuzz.abc.svx", tlx::LoadRequest{});
    if (r.ok && !r.channels.front().record.info.events.empty() && size >= tlx::kSvx3DataOffset) {
        std::vector<std::uint8_t> copy(data, data + size);
        tlx::storeSvx3Event(copy.data() + tlx::kSvx3PreambleSize,
                            r.channels.front().record.info.events.front());
        tlx::EventRecord record;
        tlx::svx3HeaderToRecord(copy, "fuzz.abc", nullptr, record);
    }
    return 0;
}
