#include "platform/file_associations.h"

#include "core/atomic_file.h"
#include "core/debug_log.h"
#include "core/ini_profile.h"
#include "core/text.h"
#include "platform/desktop_texts.h"
#include "platform/process.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace tlx {
namespace {

constexpr const char* kEntryName = "tellurix.desktop";
constexpr const char* kDefaults = "Default Applications";

fs::path environmentFolder(const char* name, const char* homeRelative) {
    if (const char* v = std::getenv(name); v && *v == '/') return v;
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) / homeRelative : fs::path();
}

} // namespace

DesktopFolders desktopFolders() {
    DesktopFolders f;
    f.dataHome = environmentFolder("XDG_DATA_HOME", ".local/share");
    f.configHome = environmentFolder("XDG_CONFIG_HOME", ".config");
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    for (const std::string& d : split(dirs && *dirs ? dirs : "/usr/local/share:/usr/share", ':'))
        if (!d.empty() && d.front() == '/') f.dataDirs.emplace_back(d);
    return f;
}

const std::vector<std::string>& eventFileTypes() {
    static const std::vector<std::string> types = {"application/x-svx", "application/x-sac",
                                                   "application/vnd.fdsn.mseed", "application/vnd.fdsn.seed",
                                                   "application/x-gse2"};
    return types;
}

std::string desktopEntryText(const std::string& program) {
    std::string text = desktop_texts::kDesktopTemplate;
    // Exec quotes a path with blanks, as the desktop entry rules ask.
    const std::string exec = program.find(' ') == std::string::npos ? program : "\"" + program + "\"";
    const std::string marker = "@TLX_EXEC@";
    if (const std::size_t at = text.find(marker); at != std::string::npos)
        text.replace(at, marker.size(), exec);
    return text;
}

std::string mimeTypesXml() {
    return desktop_texts::kMimeXml;
}

bool eventFilesAssociated(const DesktopFolders& folders) {
    if (folders.configHome.empty()) return false;
    const IniProfile defaults(folders.configHome / "mimeapps.list");
    if (defaults.getString(kDefaults, eventFileTypes().front()) != kEntryName) return false;
    std::vector<fs::path> places = {folders.dataHome};
    places.insert(places.end(), folders.dataDirs.begin(), folders.dataDirs.end());
    std::error_code ec;
    for (const fs::path& p : places)
        if (!p.empty() && fs::is_regular_file(p / "applications" / kEntryName, ec)) return true;
    return false;
}

bool associateEventFiles(const DesktopFolders& folders, const std::string& program, std::string& failedPath) {
    if (folders.dataHome.empty() || folders.configHome.empty()) {
        failedPath = "$HOME";
        return false;
    }
    const fs::path entry = folders.dataHome / "applications" / kEntryName;
    const fs::path mime = folders.dataHome / "mime" / "packages" / "tellurix.xml";
    std::error_code ec;
    for (const fs::path& dir : {entry.parent_path(), mime.parent_path(), folders.configHome})
        fs::create_directories(dir, ec);
    if (!writeFileAtomically(entry, desktopEntryText(program))) {
        failedPath = entry.string();
        return false;
    }
    if (!writeFileAtomically(mime, mimeTypesXml())) {
        failedPath = mime.string();
        return false;
    }
    IniProfile defaults(folders.configHome / "mimeapps.list");
    for (const std::string& type : eventFileTypes())
        if (!defaults.setString(kDefaults, type, kEntryName)) {
            failedPath = defaults.path().string();
            return false;
        }
    // The desktop reads the glob patterns from the compiled database; without the tool only the
    // defaults are set and the files keep their old type names.
    SpawnOptions quiet;
    quiet.discardStderr = true;
    const int rc = runProgram({"update-mime-database", (folders.dataHome / "mime").string()}, quiet);
    if (rc != 0) logFormat("update-mime-database ended with %d", rc);
    return true;
}

} // namespace tlx
