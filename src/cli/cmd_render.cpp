// tellurix-cli render FILE OUT.gif [--width W --height H] [--p T --s T]: the event window's picture (text lines,
// traces, markers and read-outs) drawn offscreen and written as a GIF image.
#include "cli/cli_command.h"

#include "core/data_paths.h"
#include "core/text.h"

#include "views/eq_view_model.h"
#include "views/event_slots.h"
#include "views/gif_export.h"
#include "views/scene_painter.h"
#include "views/seismo_readouts.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace tlx::cli {
namespace {

bool sizeOption(Args& args, const char* name, int& value) {
    std::string text;
    if (!takeOption(args, name, text)) return true;
    if (!parseCount(text, value) || value < 100 || value > 2048) {
        std::fprintf(stderr, "%s must be 100 to 2048\n", name);
        return false;
    }
    return true;
}

// "hh:mm:ss[.fff]" as milliseconds of the day.
bool parseTimeOfDay(const std::string& text, std::int64_t& ms) {
    const std::vector<std::string> parts = split(text, ':');
    int h = 0, m = 0;
    double sec = 0;
    if (parts.size() != 3 || !parseInt(parts[0], h) || !parseInt(parts[1], m) || !parseDouble(parts[2], sec))
        return false;
    if (h < 0 || h > 23 || m < 0 || m > 59 || !(sec >= 0 && sec < 60)) return false;
    ms = (static_cast<std::int64_t>(h) * 3600 + m * 60) * 1000 + static_cast<std::int64_t>(sec * 1000 + 0.5);
    return true;
}

bool timeOption(Args& args, const char* name, std::optional<std::int64_t>& value) {
    std::string text;
    if (!takeOption(args, name, text)) return true;
    std::int64_t ms = 0;
    if (!parseTimeOfDay(text, ms)) {
        std::fprintf(stderr, "%s takes a time of day hh:mm:ss.s\n", name);
        return false;
    }
    value = ms;
    return true;
}

int runRender(const Args& input) {
    Args args = input;
    int width = 800, height = 600;
    std::optional<std::int64_t> pTime, sTime;
    if (!sizeOption(args, "--width", width) || !sizeOption(args, "--height", height)) return 2;
    if (!timeOption(args, "--p", pTime) || !timeOption(args, "--s", sTime)) return 2;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tellurix-cli render FILE OUT.gif [--width W --height H] [--p hh:mm:ss.s --s hh:mm:ss.s]\n");
        return 2;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "tellurix-cli";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    ConsoleMessages messages(true);
    EventLoader loader(messages, consoleLoaderSettings());
    CEqDoc doc(messages, loader, nullptr, LoadMode::Picture);
    if (!doc.open(args[0])) {
        if (messages.messages().empty()) std::fprintf(stderr, "%s: could not be loaded\n", args[0].c_str());
        return 1;
    }
    const views::EventSlots records(doc);
    views::EqViewModel model;
    model.setSources(records.sources());
    // Distance and magnitude read-outs with the tables beside the program or in the source tree.
    const LoaderSettings dirs = consoleLoaderSettings();
    RecordingMessages quiet;
    views::SeismoTables seismo;
    seismo.load(IniProfile(), {dirs.programDirectory / "tables", dirs.programDirectory, shippedDataDirectory()},
                {dirs.localDirectory, dirs.programDirectory, shippedDataDirectory()}, quiet);
    const auto window = views::attachReadouts(model, seismo);
    const views::ViewStyle style;
    // Lay out once so that the markers can go to the arrivals of the file's event, if it has one.
    (void)views::renderPicture(model, style, width, height);
    model.resetMarkers();
    if (pTime || sTime) {
        // Picks given on the command line, one third of the strip above its bottom.
        const views::Rect& strip = model.strip(0);
        const int y = strip.bottom - strip.height() / 3;
        if (pTime) model.placeMarker(views::kMarkerP, *pTime, y);
        if (sTime) model.placeMarker(views::kMarkerS, *sTime, y + 10);
    } else {
        views::placeMarkersFromEvent(model, seismo, window.get(), quiet, true);
    }
    const QImage image = views::renderPicture(model, style, width, height);
    std::string message;
    if (!views::saveImageAsGif(image, args[1], message)) {
        std::fprintf(stderr, "Error Making GIF Image.\nError: %s\n", message.c_str());
        return 1;
    }
    std::printf("%s\n", args[1].c_str());
    return 0;
}

} // namespace

TLX_CLI_COMMAND(render, "render", "render FILE OUT.gif [--width W --height H] [--p hh:mm:ss.s --s hh:mm:ss.s]", runRender);

} // namespace tlx::cli
