// tellurix-cli spectrum FILE [--record N]: frequency and amplitude of every bin, as the spectrum
// window computes them (FFT padded to a power of two, mean removed, peak-to-peak amplitudes).
#include "cli/cli_command.h"

#include "core/text.h"
#include "dsp/rms.h"
#include "dsp/spectrum.h"

#include <cstdio>

namespace tlx::cli {
namespace {

int runSpectrum(const Args& input) {
    Args args = input;
    std::string recordText = "0";
    takeOption(args, "--record", recordText);
    SpectrumRequest request;
    request.kind = takeFlag(args, "--dft") ? TransformKind::Dft : TransformKind::Fft;
    request.windowOn = takeFlag(args, "--window");
    request.padOn = !takeFlag(args, "--no-pad");
    request.removeMean = !takeFlag(args, "--keep-mean");
    AmplitudeOptions amplitudes;
    amplitudes.peakToPeak = !takeFlag(args, "--no-peak-to-peak");
    const bool volts = takeFlag(args, "--volts");
    int record = 0;
    if (args.size() != 1 || !parseCount(recordText, record)) {
        std::fprintf(
            stderr,
            "usage: tellurix-cli spectrum FILE [--record N] [--dft] [--window] [--no-pad] [--keep-mean]"
            " [--no-peak-to-peak] [--volts]\n");
        return 2;
    }
    ConsoleMessages messages(true);
    LoadResult loaded;
    if (!loadForConsole(args[0], messages, loaded)) return 1;
    if (static_cast<std::size_t>(record) >= loaded.channels.size()) {
        std::fprintf(stderr, "%s has %zu record(s); there is no record %d\n", args[0].c_str(),
                     loaded.channels.size(), record);
        return 1;
    }
    const LoadedChannel& channel = loaded.channels[record];
    request.sampleRate = channel.record.header.sps;
    Spectrum spectrum;
    std::string error;
    if (!spectrum.compute(channel.samples, request, nullptr, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (volts) {
        amplitudes.volts = true;
        amplitudes.voltsPerCount = voltsPerCount(channel.record.info.adVolts, channel.record.header.adBits);
    }
    spectrum.computeAmplitudes(amplitudes);
    StdoutLines out;
    const double df = spectrum.binWidth();
    for (std::size_t j = 0; j < spectrum.amplitude().size(); ++j)
        out.add(format("%g %g", static_cast<double>(j) * df, spectrum.amplitude()[j]));
    return 0;
}

} // namespace

TLX_CLI_COMMAND(spectrum, "spectrum", "spectrum FILE [--record N] > spectrum.txt", runSpectrum);

} // namespace tlx::cli
