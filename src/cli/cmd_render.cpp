// tellurix-cli render FILE OUT.gif [--width W --height H] [--p T --s T]: the event window's picture (text
// lines, traces, markers and read-outs) drawn offscreen and written as a GIF image.
#include "cli/cli_command.h"
#include "cli/gif_output.h"
#include "cli/session_console.h"

#include "views/scene_painter.h"

#include <cstdio>
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

int runRender(const Args& input) {
    Args args = input;
    int width = 800, height = 600;
    std::optional<std::int64_t> pTime, sTime;
    if (!sizeOption(args, "--width", width) || !sizeOption(args, "--height", height)) return 2;
    if (!timeOption(args, "--p", pTime) || !timeOption(args, "--s", sTime)) return 2;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: tellurix-cli render FILE OUT.gif [--width W --height H] [--p hh:mm:ss.s "
                             "--s hh:mm:ss.s]\n");
        return 2;
    }

    ConsoleEvent event(false);
    if (!event.open(args[0])) return 1;
    views::EventSession& session = event.session;
    views::EqViewModel& model = session.model();
    const views::ViewStyle style;
    // Lay out once at the picture's size so that the markers open where a window puts them.
    (void)views::renderPicture(model, style, width, height);
    model.resetMarkers();
    if (!placeGivenMarkers(session, pTime, sTime)) return 2;
    const QImage image = views::renderPicture(model, style, width, height);
    return writeGifAndReport(image, args[1]);
}

} // namespace

TLX_CLI_COMMAND(render, "render",
                "render FILE OUT.gif [--width W --height H] [--p hh:mm:ss.s --s hh:mm:ss.s]", runRender);

} // namespace tlx::cli
