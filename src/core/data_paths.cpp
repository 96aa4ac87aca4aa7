#include "core/data_paths.h"

#include "core/file_io.h"

#include <cstdlib>

namespace tlx {

std::filesystem::path programDirectory() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path(ec) : self.parent_path();
}

std::filesystem::path shippedDataDirectory() {
    std::error_code ec;
    if (const char* env = std::getenv("TLX_DATA_DIR"); env && *env) return env;
    std::filesystem::path dir = programDirectory();
    for (int up = 0; up <= 3 && !dir.empty(); ++up, dir = dir.parent_path()) {
        const std::filesystem::path candidate = dir / "data";
        if (std::filesystem::is_regular_file(candidate / "SOURCES.md", ec)) return candidate;
        if (dir == dir.parent_path()) break;
    }
    return TLX_SOURCE_DATA_DIR;
}

std::filesystem::path shippedDataFile(std::string_view name) { return findFileAnyCase(shippedDataDirectory(), name); }

} // namespace tlx
