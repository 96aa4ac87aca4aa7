#include "cli/session_console.h"

#include "core/text.h"

#include "core/data_paths.h"
#include "core/ini_profile.h"
#include "views/view_math.h"

#include <cstdio>

namespace tlx::cli {

void loadConsoleTables(views::SeismoTables& tables, Messages& messages) {
    const LoaderSettings dirs = consoleLoaderSettings();
    const views::TableFolders folders = views::tableFolders(dirs.programDirectory, dirs.localDirectory);
    tables.load(IniProfile(), folders.tables, folders.data, messages);
}

ConsoleEvent::ConsoleEvent(bool tableWarnings)
    : loader(messages, consoleLoaderSettings()),
      session(seismo, loader, messages, nullptr, LoadMode::Picture) {
    loadConsoleTables(seismo, tableWarnings ? static_cast<Messages&>(messages) : quiet);
}

bool ConsoleEvent::open(const std::string& file) {
    if (session.open({file})) return true;
    if (messages.messages().empty()) std::fprintf(stderr, "%s: could not be loaded\n", file.c_str());
    return false;
}

bool timeOption(Args& args, const char* name, std::optional<std::int64_t>& value) {
    std::string text;
    if (!takeOption(args, name, text)) return true;
    const std::vector<std::string> parts = split(text, ':');
    int h = 0, m = 0;
    double sec = 0;
    if (parts.size() != 3 || !parseInt(parts[0], h) || !parseInt(parts[1], m) ||
        !parseDouble(parts[2], sec) || h < 0 || h > 23 || m < 0 || m > 59 || !(sec >= 0 && sec < 60)) {
        std::fprintf(stderr, "%s takes a time of day hh:mm:ss.s\n", name);
        return false;
    }
    value =
        (static_cast<std::int64_t>(h) * 3600 + m * 60) * 1000 + static_cast<std::int64_t>(sec * 1000 + 0.5);
    return true;
}

bool placeGivenMarkers(views::EventSession& session, std::optional<std::int64_t> pMs,
                       std::optional<std::int64_t> sMs) {
    std::optional<std::int64_t> p, s;
    for (auto [given, placed, name] : {std::tuple{pMs, &p, "--p"}, std::tuple{sMs, &s, "--s"}}) {
        if (!given) continue;
        *placed = session.markerTime(*given);
        if (!*placed) {
            std::fprintf(stderr, "%s %s lies outside the record\n", name,
                         views::timeOfDayText(*given).c_str());
            return false;
        }
    }
    session.placeMarkers(p, s);
    return true;
}

} // namespace tlx::cli
