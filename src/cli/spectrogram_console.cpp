#include "cli/spectrogram_console.h"

#include "core/text.h"

#include <cstdio>

namespace tlx::cli {

bool parseSpectrogramOptions(Args args, SpectrogramOptions& out) {
    std::string record = "0", window, overlap, width = "800", height = "600";
    takeOption(args, "--record", record);
    const bool haveWindow = takeOption(args, "--window", window);
    const bool haveOverlap = takeOption(args, "--overlap", overlap);
    takeOption(args, "--csv", out.csv);
    takeOption(args, "--gif", out.gif);
    takeOption(args, "--width", width);
    takeOption(args, "--height", height);
    out.logFrequency = takeFlag(args, "--log-frequency");
    bool ok = args.size() == 1 && parseCount(record, out.record) && parseCount(width, out.width) &&
              parseCount(height, out.height) && (out.csv.empty() || out.gif.empty());
    if (ok && haveWindow) ok = parseDouble(window, out.windowSeconds) && out.windowSeconds > 0;
    if (ok && haveOverlap) ok = parseDouble(overlap, out.overlap) && out.overlap >= 0 && out.overlap < 1;
    if (ok && (out.width < 100 || out.width > 4096 || out.height < 100 || out.height > 4096)) {
        std::fprintf(stderr, "--width and --height must be 100 to 4096\n");
        return false;
    }
    if (!ok) {
        std::fprintf(stderr, "usage: tellurix-cli %s\n", kSpectrogramUsage);
        return false;
    }
    out.file = args[0];
    return true;
}

bool computeConsoleSpectrogram(const SpectrogramOptions& options, ConsoleSpectrogram& out) {
    ConsoleMessages messages(true);
    LoadResult loaded;
    if (!loadForConsole(options.file, messages, loaded)) return false;
    if (static_cast<std::size_t>(options.record) >= loaded.channels.size()) {
        std::fprintf(stderr, "%s has %zu record(s); there is no record %d\n", options.file.c_str(),
                     loaded.channels.size(), options.record);
        return false;
    }
    const LoadedChannel& channel = loaded.channels[static_cast<std::size_t>(options.record)];
    const ChannelHeader& h = channel.record.header;
    SpectrogramRequest request =
        defaultSpectrogramRequest(h.sps, static_cast<long long>(channel.samples.size()));
    const double overlap =
        options.overlap >= 0 ? options.overlap : static_cast<double>(request.overlap) / request.window;
    if (options.windowSeconds > 0) request.window = spectrogramWindow(options.windowSeconds, h.sps);
    request.overlap = spectrogramOverlap(request.window, overlap);
    std::string error;
    if (!out.spectrogram.compute(channel.samples, request, nullptr, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    const CivilTime t = addSeconds(toCivil(h.startTime), h.startTimeOffset);
    out.startOfDay = t.hour * 3600.0 + t.minute * 60.0 + t.second + t.nanoseconds / 1e9;
    out.seconds = static_cast<double>(channel.samples.size()) / h.sps;
    return true;
}

} // namespace tlx::cli
