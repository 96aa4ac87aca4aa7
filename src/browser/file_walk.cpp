#include "browser/file_walk.h"

#include <algorithm>

namespace tlx::browser {
namespace fs = std::filesystem;
namespace {

std::vector<fs::path> entries(const fs::path& dir, bool folders) {
    std::vector<fs::path> out;
    std::error_code ec;
    fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        // Symbolic links to folders are not followed: a loop would never end.
        const bool isFolder = it->is_directory(typeError) && !it->is_symlink(typeError);
        if (typeError) continue;
        if (folders ? isFolder : it->is_regular_file(typeError) && !typeError) out.push_back(it->path());
    }
    std::sort(out.begin(), out.end());
    return out;
}

void descend(const fs::path& dir, int depth, std::vector<fs::path>& out) {
    for (const fs::path& sub : entries(dir, true)) {
        out.push_back(sub);
        if (depth + 1 < kMaxFolderDepth) descend(sub, depth + 1, out);
    }
}

} // namespace

std::vector<fs::path> collectDirectories(const fs::path& start, bool subdirectories) {
    std::vector<fs::path> out{start};
    if (subdirectories) descend(start, 0, out);
    return out;
}

std::vector<fs::path> listFiles(const fs::path& dir) {
    return entries(dir, false);
}

} // namespace tlx::browser
