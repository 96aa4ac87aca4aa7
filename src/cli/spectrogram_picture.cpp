// tellurix-render spectrogram ...: the spectrogram window's picture of a whole record, drawn
// offscreen and written as a GIF image (tellurix-cli spectrogram --gif runs it).
#include "cli/gif_output.h"
#include "cli/spectrogram_console.h"

#include "views/spectrogram_painter.h"

#include <cstdio>

namespace tlx::cli {
namespace {

int drawSpectrogram(const Args& args) {
    SpectrogramOptions options;
    if (!parseSpectrogramOptions(args, options) || options.gif.empty()) return 2;
    ConsoleSpectrogram result;
    if (!computeConsoleSpectrogram(options, result)) return 1;
    const Spectrogram& s = result.spectrogram;
    views::SpectrogramLayout layout;
    layout.setTimeRange(0, result.seconds, result.startOfDay);
    layout.setFrequencyRange(s.frequency(1), s.request().sampleRate / 2, options.logFrequency);
    const QImage image = views::spectrogramPicture(options.width, options.height, layout, s,
                                                   views::decibelRange(s, 80), views::ViewStyle{});
    return writeGifAndReport(image, options.gif);
}

} // namespace

TLX_CLI_COMMAND(spectrogram_picture, "spectrogram", kSpectrogramUsage, drawSpectrogram);

} // namespace tlx::cli
