#include "cli/seismo_console.h"

#include "core/data_paths.h"
#include "core/text.h"
#include "seismo/geodesy.h"
#include "seismo/regions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tlx::cli {

std::filesystem::path consoleDataDirectory() {
    const std::filesystem::path dir = shippedDataDirectory();
    std::error_code ec;
    if (std::filesystem::is_regular_file(dir / kRegionFileName, ec)) return dir;
    std::fprintf(stderr, "tellurix-cli: no %s in the data folder %s (set TLX_DATA_DIR)\n", kRegionFileName,
                 dir.string().c_str());
    return {};
}

bool parseNumberArg(const std::string& text, double& value) {
    return parseDouble(text, value);
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
