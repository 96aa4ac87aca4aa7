// The sample loops behind the document's data commands, each one pass over the array.
#pragma once

#include <cstddef>
#include <span>

namespace tlx {

struct SampleStats {
    double min = 0;
    double max = 0;
    double mean = 0;
};

SampleStats sampleStatistics(std::span<const double> samples);

// Running sum y[0] = dt (x[0] - mean), y[i] = y[i-1] + dt (x[i] - mean), in place; returns the
// statistics of the result.
SampleStats integrateInPlace(std::span<double> samples, double dt, double mean);

// Moves samples[first, first + count) to the front; returns the statistics of the kept samples.
SampleStats keepRange(std::span<double> samples, std::size_t first, std::size_t count);

} // namespace tlx
