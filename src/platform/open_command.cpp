#include "platform/open_command.h"

#include "core/debug_log.h"
#include "core/text.h"

namespace tlx {

std::string openCommandText(const std::vector<std::string>& paths) {
    std::string joined;
    for (const std::string& p : paths)
        joined += (joined.empty() ? "" : "|") + p;
    return "[open(\"" + joined + "\")]";
}

std::vector<std::string> parseOpenCommand(std::string_view text) {
    const std::string command(text);
    const std::string lower = toLower(command);
    if (lower.rfind("[open", 0) != 0) {
        logFormat("DDE Command not open %s", command.c_str());
        return {};
    }
    // The path list starts at the first absolute path (the drive letter of the Windows command).
    const std::size_t start = command.find('/');
    if (start == std::string::npos) {
        logFormat("DDE no : found %s", command.c_str());
        return {};
    }
    const std::size_t end = command.rfind(')');
    if (end == std::string::npos || end < start) {
        logFormat("DDE no end ) found %s", command.c_str());
        return {};
    }
    std::string list = command.substr(start, end - start);
    if (!list.empty() && list.back() == '"') list.pop_back();
    std::vector<std::string> paths;
    std::string piece;
    for (char c : list + "|") {
        if (c == '|' || c == ',') {
            std::string path(trim(piece));
            if (!path.empty() && path.front() == '"') path.erase(0, 1);
            if (!path.empty() && path.back() == '"') path.pop_back();
            if (!path.empty()) paths.push_back(path);
            piece.clear();
        } else {
            piece += c;
        }
    }
    return paths;
}

} // namespace tlx
