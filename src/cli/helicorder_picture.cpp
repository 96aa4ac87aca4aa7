// tellurix-render helicorder FILE OUT.gif [--minutes-per-line M] [--width W --height H]: the whole
// first channel of a file (read in its own pass, beyond the event record limit) in helicorder lines,
// drawn offscreen and written as a GIF image.
#include "cli/cli_command.h"
#include "cli/gif_output.h"

#include "core/text.h"
#include "record/whole_channel.h"
#include "views/helicorder_painter.h"

#include <algorithm>
#include <cstdio>

namespace tlx::cli {
namespace {

constexpr const char* kUsage = "helicorder FILE OUT.gif [--minutes-per-line M] [--width W --height H]";

int drawHelicorder(const Args& input) {
    Args args = input;
    std::string minutesText = "15", widthText = "1200", heightText = "800";
    takeOption(args, "--minutes-per-line", minutesText);
    takeOption(args, "--width", widthText);
    takeOption(args, "--height", heightText);
    int minutes = 0, width = 0, height = 0;
    const bool ok = args.size() == 2 && parseCount(minutesText, minutes) && parseCount(widthText, width) &&
                    parseCount(heightText, height);
    if (!ok || std::find(std::begin(views::kLineMinutes), std::end(views::kLineMinutes), minutes) ==
                   std::end(views::kLineMinutes)) {
        std::fprintf(stderr, "usage: tellurix-cli %s (M: 5, 10, 15, 30 or 60)\n", kUsage);
        return 2;
    }
    if (width < 100 || width > 4096 || height < 100 || height > 8192) {
        std::fprintf(stderr, "--width must be 100 to 4096 and --height 100 to 8192\n");
        return 2;
    }
    ConsoleMessages messages(true);
    EventLoader loader(messages, consoleLoaderSettings());
    WholeChannel channel;
    std::string error;
    if (!readWholeChannel(loader, args[0], "", "", channel, error) || !(channel.record.header.sps > 0)) {
        std::fprintf(stderr, "%s\n", error.empty() ? "The channel has no sample rate" : error.c_str());
        return 1;
    }
    const ChannelHeader& h = channel.record.header;
    const CivilTime t = addSeconds(toCivil(h.startTime), h.startTimeOffset);
    double mean = 0;
    for (double v : channel.samples)
        mean += v;
    mean /= static_cast<double>(channel.samples.size());
    const views::MinMaxPyramid pyramid(channel.samples);
    views::HelicorderLayout layout;
    layout.setData(t.hour * 3600.0 + t.minute * 60.0 + t.second + t.nanoseconds / 1e9, h.sps,
                   static_cast<long long>(channel.samples.size()));
    layout.setMinutesPerLine(minutes);
    layout.setClip(views::defaultClip(channel.samples, mean));
    views::HelicorderScene scene;
    scene.pyramid = &pyramid;
    scene.mean = mean;
    const QImage image = views::helicorderPicture(width, height, layout, scene, views::ViewStyle{});
    return writeGifAndReport(image, args[1]);
}

} // namespace

TLX_CLI_COMMAND(helicorder_picture, "helicorder", kUsage, drawHelicorder);

} // namespace tlx::cli
