#include "document/sample_ops.h"

#include <cstdint>
#include <cstring>
#include <new>

#include <sys/mman.h>

namespace tlx {
namespace {

// Four independent lanes keep the loops fast without reordering any one sum.
struct Accumulator {
    double lo[4], hi[4], sum[4] = {0, 0, 0, 0};
    explicit Accumulator(double first) {
        for (int k = 0; k < 4; ++k)
            lo[k] = hi[k] = first;
    }
    void add(int k, double v) {
        lo[k] = v < lo[k] ? v : lo[k];
        hi[k] = v > hi[k] ? v : hi[k];
        sum[k] += v;
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

} // namespace

SampleStats sampleStatistics(std::span<const double> samples) {
    const std::size_t n = samples.size();
    if (n == 0) return {};
    const double* x = samples.data();
    Accumulator a(x[0]);
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4)
        for (int k = 0; k < 4; ++k)
            a.add(k, x[i + static_cast<std::size_t>(k)]);
    for (; i < n; ++i)
        a.add(0, x[i]);
    return a.finish(n);
}

SampleStats integrate(std::span<const double> samples, std::span<double> out, double dt, double mean) {
    const std::size_t n = samples.size();
    if (n == 0 || out.size() != n) return {};
    const double* x = samples.data();
    double* yout = out.data();
    double y = dt * (x[0] - mean);
    yout[0] = y;
    double lo = y, hi = y, sum = y;
    // The running sum is one dependency chain; min, max and sum ride along on it.
    for (std::size_t i = 1; i < n; ++i) {
        y = y + dt * (x[i] - mean);
        yout[i] = y;
        lo = y < lo ? y : lo;
        hi = y > hi ? y : hi;
        sum += y;
    }
    return SampleStats{lo, hi, sum / static_cast<double>(n)};
}

SampleStats keepRange(std::span<double> samples, std::size_t first, std::size_t count) {
    if (first + count > samples.size() || count == 0) return {};
    double* x = samples.data();
    const double* from = x + first;
    // Moving forward to a lower address is safe; the statistics come with the one pass.
    Accumulator a(from[0]);
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        for (int k = 0; k < 4; ++k) {
            const double v = from[i + static_cast<std::size_t>(k)];
            x[i + static_cast<std::size_t>(k)] = v;
            a.add(k, v);
        }
    }
    for (; i < count; ++i) {
        x[i] = from[i];
        a.add(0, from[i]);
    }
    return a.finish(count);
}

std::vector<double> newSampleArray(std::size_t count) {
    std::vector<double> v;
    v.reserve(count);
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHuge = std::uintptr_t{1} << 21;
    const auto begin = reinterpret_cast<std::uintptr_t>(v.data());
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = (begin + count * sizeof(double)) & ~(kHuge - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
    v.resize(count);
    return v;
}

} // namespace tlx
