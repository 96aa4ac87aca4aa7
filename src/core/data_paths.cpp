#include "core/data_paths.h"

#include "core/file_io.h"

#include <cstdlib>

namespace tlx {
namespace {

// A folder of shipped tables names their sources; an installed copy at least holds the region file.
bool isDataFolder(const std::filesystem::path& dir) {
    std::error_code ec;
    return std::filesystem::is_regular_file(dir / "SOURCES.md", ec) ||
           std::filesystem::is_regular_file(dir / "feregions.dat", ec);
}

} // namespace

std::filesystem::path programDirectory() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : self.parent_path();
}

std::filesystem::path shippedDataDirectory() {
    if (const char* env = std::getenv("TLX_DATA_DIR"); env && *env) return env;
    const std::filesystem::path program = programDirectory();
    std::filesystem::path dir = program;
    for (int up = 0; up <= 3 && !dir.empty(); ++up, dir = dir.parent_path()) {
        if (isDataFolder(dir / "data")) return dir / "data";
        if (dir == dir.parent_path()) break;
    }
    const std::filesystem::path installed = program.parent_path() / "share" / "tellurix";
    if (isDataFolder(installed)) return installed;
    return {};
}

std::filesystem::path shippedDataFile(std::string_view name) {
    const std::filesystem::path dir = shippedDataDirectory();
    return dir.empty() ? dir : findFileAnyCase(dir, name);
}

} // namespace tlx
