// File associations as the freedesktop desktops keep them: a desktop entry, the event-file MIME
// types and the user's default application for them, all in the user's own folders.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tlx {

struct DesktopFolders {
    std::filesystem::path dataHome;              // $XDG_DATA_HOME, else ~/.local/share
    std::filesystem::path configHome;            // $XDG_CONFIG_HOME, else ~/.config
    std::vector<std::filesystem::path> dataDirs; // $XDG_DATA_DIRS, else /usr/local/share:/usr/share
};
DesktopFolders desktopFolders();

// The MIME types of the event files the program opens; the first is the SVX type.
const std::vector<std::string>& eventFileTypes();

// The desktop entry that starts `program` with the chosen files.
std::string desktopEntryText(const std::string& program);
std::string mimeTypesXml();

// True when the user's default application for SVX files is the program's desktop entry and
// that entry exists in the user's or the system's applications folder.
bool eventFilesAssociated(const DesktopFolders& folders);

// Writes the desktop entry (starting `program`), the MIME types and the user's defaults, then
// refreshes the user's MIME database. False with the file that could not be written.
bool associateEventFiles(const DesktopFolders& folders, const std::string& program, std::string& failedPath);

} // namespace tlx
