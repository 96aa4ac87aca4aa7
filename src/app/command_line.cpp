#include "app/command_line.h"

#include "core/text.h"
#include "core/version.h"

#include <cstdio>
#include <filesystem>

namespace tlx::app {

const char* const kHelpText =
    "Usage: tellurix [FILE[,FILE[,FILE]]]\n"
    "       tellurix /g FILE [IMAGE]\n"
    "       tellurix /p FILE [PDF]\n"
    "       tellurix /s DIRECTORY\n"
    "       tellurix /c SOURCE [DESTINATION]\n"
    "Show, filter and measure seismic event files (SVX, SAC, miniSEED, SEED, GSE2.0, PEPP, AH).\n"
    "\n"
    "  FILE,...        open one to three event files (separated by commas or vertical bars) in one\n"
    "                  event window; a running Tellurix opens them instead and this start ends\n"
    "  /g FILE [IMAGE] draw FILE into a GIF image of GifWidth x GifHeight and exit\n"
    "  /p FILE [PDF]   print FILE without a dialog (to a PDF file without a printer) and exit\n"
    "  /s DIRECTORY    picture server: every 500 ms take a request file RQ*.REQ from DIRECTORY\n"
    "                  holding \"EVENTFILE IMAGEFILE\" and draw the event into the image;\n"
    "                  a request \"stop\" ends the program\n"
    "  /c SOURCE [DESTINATION]\n"
    "                  convert one event file, or every file of a folder (SOURCE ending in \"/\" or\n"
    "                  without a dot; names starting with \".\" skipped), to SVX Type 4 in\n"
    "                  DESTINATION (default: beside the source) and exit\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "Settings (TELLURIX.INI), the log tlx.log and the user's data files are kept in the program's\n"
    "folder when it can be written, else in $XDG_CONFIG_HOME/tellurix (~/.config/tellurix).\n"
    "TELLURIX_HOME names another program folder. Exit status: 0 done, 1 failure, 2 usage error.\n";

std::optional<int> answerConsoleOption(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--help") {
            std::fputs(kHelpText, stdout);
            return 0;
        }
        if (a == "--version") {
            std::printf("tellurix %s\n", kVersion);
            return 0;
        }
        if (a.rfind("--", 0) == 0) {
            std::fprintf(stderr, "tellurix: unknown option %s\n%s", a.c_str(), kHelpText);
            return 2;
        }
    }
    return std::nullopt;
}

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

void anchorToWorkingDirectory(CommandLine& commandLine) {
    namespace fs = std::filesystem;
    for (std::string& file : commandLine.files) {
        std::error_code ec;
        const fs::path path(file);
        if (path.is_relative() && fs::exists(path, ec))
            file = fs::absolute(path, ec).lexically_normal().string();
    }
}

} // namespace tlx::app
