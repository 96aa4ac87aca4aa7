// The open command a second start sends over the local socket: any bytes give paths or a refusal.
#include "platform/open_command.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& path : tlx::parseOpenCommand(text))
        if (path.empty() || path.size() > size) std::abort();
    return 0;
}
