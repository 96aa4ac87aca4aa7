// tellurix-cli render FILE OUT.gif [--width W --height H]: the event window's picture (text lines,
// traces, markers and read-outs) drawn offscreen and written as a GIF image.
#include "cli/cli_command.h"

#include "views/eq_view_model.h"
#include "views/event_slots.h"
#include "views/gif_export.h"
#include "views/scene_painter.h"
#include "views/seismo_readouts.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

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

int runRender(const Args& input) {
    Args args = input;
    int width = 800, height = 600;
    if (!sizeOption(args, "--width", width) || !sizeOption(args, "--height", height)) return 2;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tellurix-cli render FILE OUT.gif [--width W --height H]\n");
        return 2;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "tellurix-cli";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    ConsoleMessages messages(true);
    EventLoader loader(messages, consoleLoaderSettings());
    views::EventSlots records;
    if (!records.load({args[0]}, loader, LoadMode::Picture)) {
        if (messages.messages().empty()) std::fprintf(stderr, "%s: could not be loaded\n", args[0].c_str());
        return 1;
    }
    views::EqViewModel model;
    model.setSources(records.sources());
    // Distance and magnitude read-outs with the tables beside the program or in the source tree.
    const LoaderSettings dirs = consoleLoaderSettings();
    RecordingMessages quiet;
    views::SeismoTables seismo;
    seismo.load(IniProfile(), {dirs.programDirectory / "tables", dirs.programDirectory, views::bundledDataDirectory()},
                {dirs.localDirectory, dirs.programDirectory, views::bundledDataDirectory()}, quiet);
    const auto window = views::attachReadouts(model, seismo);
    const views::ViewStyle style;
    // Lay out once so that the markers can go to the arrivals of the file's event, if it has one.
    (void)views::renderPicture(model, style, width, height);
    model.resetMarkers();
    views::placeMarkersFromEvent(model, seismo, window.get(), quiet, true);
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

TLX_CLI_COMMAND(render, "render", "render FILE OUT.gif [--width W --height H]", runRender);

} // namespace tlx::cli
