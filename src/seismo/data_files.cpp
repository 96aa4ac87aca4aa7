#include "seismo/data_files.h"

#include "core/data_paths.h"
#include "core/ini_profile.h"

#include <system_error>

namespace tlx {

std::filesystem::path tablesDirectory(const IniProfile& settings,
                                      const std::filesystem::path& programDirectory) {
    const std::string configured = settings.getString("Settings", "PhaseDirectory");
    if (!configured.empty()) return configured;
    std::error_code ec;
    if (std::filesystem::is_directory(programDirectory / "tables", ec)) return programDirectory / "tables";
    return shippedDataDirectory();
}

} // namespace tlx
