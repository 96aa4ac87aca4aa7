// tellurix-render spectrogram ...: the spectrogram window's picture of a whole record, drawn
// offscreen and written as a GIF image (tellurix-cli spectrogram --gif runs it).
#include "cli/spectrogram_console.h"

#include "views/gif_export.h"
#include "views/spectrogram_painter.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

namespace tlx::cli {
namespace {

int drawSpectrogram(const Args& args) {
    SpectrogramOptions options;
    if (!parseSpectrogramOptions(args, options) || options.gif.empty()) return 2;
    ConsoleSpectrogram result;
    if (!computeConsoleSpectrogram(options, result)) return 1;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char name[] = "tellurix-cli";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    const Spectrogram& s = result.spectrogram;
    views::SpectrogramLayout layout;
    layout.setTimeRange(0, result.seconds, result.startOfDay);
    layout.setFrequencyRange(s.frequency(1), s.request().sampleRate / 2, options.logFrequency);
    const QImage image = views::spectrogramPicture(options.width, options.height, layout, s,
                                                   views::decibelRange(s, 80), views::ViewStyle{});
    std::string message;
    if (!views::saveImageAsGif(image, options.gif, message)) {
        std::fprintf(stderr, "Error Making GIF Image.\nError: %s\n", message.c_str());
        return 1;
    }
    std::printf("%s\n", options.gif.c_str());
    return 0;
}

} // namespace

TLX_CLI_COMMAND(spectrogram_picture, "spectrogram", kSpectrogramUsage, drawSpectrogram);

} // namespace tlx::cli
