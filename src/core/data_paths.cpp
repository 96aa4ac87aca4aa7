#include "core/data_paths.h"

#include "core/file_io.h"

#include <cstdlib>
#include <fstream>

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

bool folderWritable(const std::filesystem::path& dir) {
    const std::filesystem::path test = dir / "tlxtest.tmp";
    bool ok = false;
    {
        std::ofstream out(test);
        ok = static_cast<bool>(out << "test" << std::flush);
    }
    std::error_code ec;
    std::filesystem::remove(test, ec);
    return ok;
}

std::filesystem::path userFolder(const std::filesystem::path& programDir) {
    if (folderWritable(programDir)) return programDir;
    std::filesystem::path config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        config = std::filesystem::path(home) / ".config";
    if (config.empty()) return {};
    const std::filesystem::path folder = config / "tellurix";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folderWritable(folder) ? folder : std::filesystem::path();
}

std::filesystem::path shippedDataFile(std::string_view name) {
    const std::filesystem::path dir = shippedDataDirectory();
    return dir.empty() ? dir : findFileAnyCase(dir, name);
}

} // namespace tlx
