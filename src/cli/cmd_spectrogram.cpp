// tellurix-cli spectrogram FILE [--record N] [--window S] [--overlap F] [--csv OUT.csv | --gif OUT.gif]
// [--log-frequency]: "time,frequency,dB" for every segment and bin (standard output without --csv),
// or the spectrogram window's picture drawn by tellurix-render.
#include "cli/spectrogram_console.h"

#include "core/atomic_file.h"
#include "core/text.h"

#include <cstdio>

namespace tlx::cli {
namespace {

int runSpectrogram(const Args& args) {
    SpectrogramOptions options;
    if (!parseSpectrogramOptions(args, options)) return 2;
    if (!options.gif.empty()) {
        Args forwarded{"spectrogram"};
        forwarded.insert(forwarded.end(), args.begin(), args.end());
        return runRenderProgram(forwarded);
    }
    ConsoleSpectrogram result;
    if (!computeConsoleSpectrogram(options, result)) return 1;
    const Spectrogram& s = result.spectrogram;
    std::string text = "time,frequency,dB\n";
    for (int c = 0; c < s.columns(); ++c)
        for (int b = 0; b < s.bins(); ++b)
            text += format("%.6f,%.6g,%.6f\n", s.time(c), s.frequency(b), s.decibels(c, b));
    if (options.csv.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return 0;
    }
    if (!writeFileAtomically(options.csv, text)) {
        std::fprintf(stderr, "Can't write %s\n", options.csv.c_str());
        return 1;
    }
    std::printf("%s\n", options.csv.c_str());
    return 0;
}

} // namespace

TLX_CLI_COMMAND(spectrogram, "spectrogram", kSpectrogramUsage, runSpectrogram);

} // namespace tlx::cli
