// SENSOR.DAT parsing: the first line is the station id, the rest the file.
#include "record/sensor_dat.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t nl = text.find('\n');
    const std::string_view id = nl == std::string_view::npos ? text : text.substr(0, nl);
    const std::string_view file = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
    tlx::EventRecord record;
    tlx::applySensorDefaultsText(file, id, record);
    return 0;
}
