#include "app/command_line.h"

#include "core/text.h"

namespace tlx::app {

CommandLine parseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    std::string joined;
    for (const std::string& a : args)
        joined += (joined.empty() ? "" : " ") + a;
    if (joined.size() > kMaxCommandLine) {
        cl.tooLong = true;
        return cl;
    }
    if (args.empty()) return cl;
    const std::string flag = toLower(args[0]);
    auto rest = [&](std::size_t i) { return i < args.size() ? args[i] : std::string(); };
    if (flag == "/p" || flag == "/g") {
        cl.mode = flag == "/p" ? RunMode::Print : RunMode::Picture;
        if (!rest(1).empty()) cl.files.push_back(rest(1));
        cl.target = rest(2);
        return cl;
    }
    if (flag == "/s") {
        std::string dir = rest(1);
        if (dir.size() < 3) return cl; // too short to be a directory: ignored
        if (dir.back() != '/' && dir.back() != '\\') dir += '/';
        cl.mode = RunMode::Server;
        cl.target = dir;
        return cl;
    }
    if (flag == "/c") {
        cl.mode = RunMode::Convert;
        if (!rest(1).empty()) cl.files.push_back(rest(1));
        cl.target = rest(2);
        return cl;
    }
    for (const std::string& a : args) {
        std::string piece;
        for (char c : a + ",") {
            if (c == ',' || c == '|') {
                const std::string name(trim(piece));
                if (!name.empty()) cl.files.push_back(name);
                piece.clear();
            } else {
                piece += c;
            }
        }
    }
    return cl;
}

} // namespace tlx::app
