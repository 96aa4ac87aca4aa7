// The sample loops behind the document's data commands, each one pass over the array.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace tlx {

struct SampleStats {
    double min = 0;
    double max = 0;
    double mean = 0;
};

SampleStats sampleStatistics(std::span<const double> samples);

// Running sum y[0] = dt (x[0] - mean), y[i] = y[i-1] + dt (x[i] - mean) into y (same size as x);
// returns the statistics of the result.
SampleStats integrate(std::span<const double> x, std::span<double> y, double dt, double mean);

// A zeroed array for count samples, backed by huge pages where the system offers them: a fresh
// 40 MB array would otherwise cost ten thousand page faults on first touch. Throws bad_alloc.
std::vector<double> newSampleArray(std::size_t count);

// Moves samples[first, first + count) to the front; returns the statistics of the kept samples.
SampleStats keepRange(std::span<double> samples, std::size_t first, std::size_t count);

} // namespace tlx
