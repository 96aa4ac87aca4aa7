#include "seismo/data_files.h"

#include "core/ini_profile.h"
#include "seismo/regions.h"

#include <cstdlib>
#include <system_error>
#include <vector>

namespace tlx {
namespace {

bool holdsData(const std::filesystem::path& dir) {
    std::error_code ec;
    return !dir.empty() && std::filesystem::is_regular_file(dir / kRegionFileName, ec);
}

} // namespace

std::filesystem::path shippedDataDirectory(const std::filesystem::path& programDirectory) {
    std::vector<std::filesystem::path> candidates;
    if (const char* env = std::getenv("TLX_DATA_DIR")) candidates.emplace_back(env);
    if (const char* env = std::getenv("TLX_SOURCE_DIR")) candidates.push_back(std::filesystem::path(env) / "data");
    if (!programDirectory.empty()) {
        std::filesystem::path dir = programDirectory;
        for (int up = 0; up < 5 && !dir.empty(); ++up) {
            candidates.push_back(dir / "data");
            if (dir == dir.parent_path()) break;
            dir = dir.parent_path();
        }
        candidates.push_back(programDirectory / ".." / "share" / "tellurix" / "data");
    }
    for (const auto& dir : candidates)
        if (holdsData(dir)) return dir.lexically_normal();
    return {};
}

std::filesystem::path tablesDirectory(const IniProfile& settings, const std::filesystem::path& programDirectory) {
    const std::string configured = settings.getString("Settings", "PhaseDirectory");
    if (!configured.empty()) return configured;
    std::error_code ec;
    if (std::filesystem::is_directory(programDirectory / "tables", ec)) return programDirectory / "tables";
    const std::filesystem::path shipped = shippedDataDirectory(programDirectory);
    return shipped.empty() ? programDirectory : shipped;
}

} // namespace tlx
