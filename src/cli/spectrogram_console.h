// The spectrogram of a record for the console, shared by "tellurix-cli spectrogram" (numbers) and
// tellurix-render (the picture): the same options, the same loading and the same computation as
// the spectrogram window.
#pragma once

#include "cli/cli_command.h"
#include "dsp/spectrogram.h"

#include <string>

namespace tlx::cli {

inline constexpr const char* kSpectrogramUsage =
    "spectrogram FILE [--record N] [--window S] [--overlap F] [--csv OUT.csv | --gif OUT.gif --width W "
    "--height H] [--log-frequency]";

struct SpectrogramOptions {
    std::string file;
    int record = 0;
    double windowSeconds = 0; // 0: the default for the record
    double overlap = -1;      // below 0: the default
    bool logFrequency = false;
    std::string csv, gif;
    int width = 800, height = 600;
};

// False with the usage or the fault printed.
bool parseSpectrogramOptions(Args args, SpectrogramOptions& out);

struct ConsoleSpectrogram {
    Spectrogram spectrogram;
    double startOfDay = 0; // the record's first sample, seconds after midnight
    double seconds = 0;    // the record's length
};
// Loads the file and computes; false with the fault printed.
bool computeConsoleSpectrogram(const SpectrogramOptions& options, ConsoleSpectrogram& out);

} // namespace tlx::cli
