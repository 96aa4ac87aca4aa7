#include "document/sample_ops.h"

#include <cstring>

namespace tlx {
namespace {

// Four independent lanes let the compiler keep the loop fast without reordering one sum.
struct Accumulator {
    double lo[4], hi[4], sum[4] = {0, 0, 0, 0};
    explicit Accumulator(double first) {
        for (int k = 0; k < 4; ++k) lo[k] = hi[k] = first;
    }
    SampleStats finish(std::size_t count) const {
        SampleStats s;
        s.min = lo[0];
        s.max = hi[0];
        for (int k = 1; k < 4; ++k) {
            s.min = lo[k] < s.min ? lo[k] : s.min;
            s.max = hi[k] > s.max ? hi[k] : s.max;
        }
        s.mean = count ? ((sum[0] + sum[1]) + (sum[2] + sum[3])) / static_cast<double>(count) : 0.0;
        return s;
    }
};

SampleStats statsOf(const double* x, std::size_t n) {
    if (n == 0) return {};
    Accumulator a(x[0]);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        for (int k = 0; k < 4; ++k) {
            const double v = x[i + static_cast<std::size_t>(k)];
            a.lo[k] = v < a.lo[k] ? v : a.lo[k];
            a.hi[k] = v > a.hi[k] ? v : a.hi[k];
            a.sum[k] += v;
        }
    }
    for (; i < n; ++i) {
        const double v = x[i];
        a.lo[0] = v < a.lo[0] ? v : a.lo[0];
        a.hi[0] = v > a.hi[0] ? v : a.hi[0];
        a.sum[0] += v;
    }
    return a.finish(n);
}

} // namespace

SampleStats sampleStatistics(std::span<const double> samples) { return statsOf(samples.data(), samples.size()); }

SampleStats integrateInPlace(std::span<double> samples, double dt, double mean) {
    const std::size_t n = samples.size();
    if (n == 0) return {};
    double* x = samples.data();
    double y = dt * (x[0] - mean);
    x[0] = y;
    double lo = y, hi = y, sum = y;
    // The running sum is one dependency chain; min, max and sum ride along on it for free.
    for (std::size_t i = 1; i < n; ++i) {
        y = y + dt * (x[i] - mean);
        x[i] = y;
        lo = y < lo ? y : lo;
        hi = y > hi ? y : hi;
        sum += y;
    }
    return SampleStats{lo, hi, sum / static_cast<double>(n)};
}

SampleStats keepRange(std::span<double> samples, std::size_t first, std::size_t count) {
    if (first + count > samples.size()) return {};
    double* x = samples.data();
    if (first > 0 && count > 0) std::memmove(x, x + first, count * sizeof(double));
    return statsOf(x, count);
}

} // namespace tlx
