// A whole channel (the helicorder's own pass): MINISEED records joined by time, other formats
// through the loader.
#include "record/whole_channel.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::RecordingMessages messages;
    tlx::EventLoader loader(messages);
    tlx::WholeChannel channel;
    std::string error;
    tlx::readWholeChannelBytes(loader, {data, size}, "fuzz.mseed", "TEST", "BHZ", channel, error);
    return 0;
}
