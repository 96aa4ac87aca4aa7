// Directory collection and listing shared by the event database, the live search and the browser.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace tlx::browser {

// Descent stops this many levels below the start; folders there are listed but not entered.
inline constexpr int kMaxFolderDepth = 15;

// The start folder first, then, depth first, every subfolder in name order.
std::vector<std::filesystem::path> collectDirectories(const std::filesystem::path& start,
                                                      bool subdirectories = true);

// The regular files of one folder in name order; unreadable entries are left out.
std::vector<std::filesystem::path> listFiles(const std::filesystem::path& dir);

} // namespace tlx::browser
