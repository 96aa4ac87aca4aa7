#include "cli/seismo_console.h"

#include "seismo/data_files.h"
#include "seismo/geodesy.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tlx::cli {

std::filesystem::path consoleDataDirectory() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path dir = shippedDataDirectory(ec ? std::filesystem::path() : self.parent_path());
    if (dir.empty())
        std::fprintf(stderr, "tellurix-cli: the data folder with %s was not found (set TLX_DATA_DIR)\n",
                     "feregions.dat");
    return dir;
}

bool parseNumberArg(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end && *end == '\0' && std::isfinite(value);
}

bool parseLatitudeArg(const std::string& text, double& value) {
    if (parseNumberArg(text, value)) return value >= -90.0 && value <= 90.0;
    return parseLatitude(text, value);
}

bool parseLongitudeArg(const std::string& text, double& value) {
    if (parseNumberArg(text, value)) return value >= -180.0 && value <= 540.0;
    return parseLongitude(text, value);
}

} // namespace tlx::cli
