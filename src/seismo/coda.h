// The end of an earthquake's coda, where the duration magnitude Md takes its duration from.
#pragma once

#include <optional>
#include <span>

namespace tlx {

// The envelope is the RMS of the samples in consecutive windows from the P arrival on, around the
// mean of the samples before P; the noise level is their RMS around that mean. The coda ends
// where the envelope, after its peak, first falls to endRatio times the noise level (between the
// centres of the last window above and the first window at or below, linearly).
struct CodaSearchSettings {
    double windowSeconds = 1; // at least 4 samples
    double endRatio = 2;
};

// Seconds from the first sample to the end of the coda; none when P leaves less than one window
// of noise before it, the envelope never rises above the end level, or never falls back to it.
std::optional<double> codaEndSeconds(std::span<const double> samples, double sps, double pSeconds,
                                     const CodaSearchSettings& settings = {});

} // namespace tlx
