// The settings file parser: reading keys and writing one back never goes wrong on any text.
#include "core/ini_profile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tlx::IniProfile ini;
    ini.loadText(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& key : ini.keys("Settings"))
        ini.getString("Settings", key);
    ini.getInt("Colors", "Background", 0);
    ini.setString("Settings", "Directory", "x");
    return 0;
}
