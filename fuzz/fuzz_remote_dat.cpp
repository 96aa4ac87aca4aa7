// REMOTE.DAT, a station's channel information file and a station list.
#include "services/remote_dat.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tlx::RemoteSettings settings;
    tlx::parseRemoteDat(text, settings);
    tlx::parseChannelInfo(text);
    tlx::addStationList(text, settings.stations);
    return 0;
}
