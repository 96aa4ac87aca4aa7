#include "views/minmax_pyramid.h"

#include <algorithm>

namespace tlx::views {

void MinMaxPyramid::rebuild(std::span<const double> samples) {
    samples_ = samples;
    levels_.clear();
    const std::size_t blocks = samples.size() >> kBaseShift;
    if (blocks == 0) return;
    std::vector<MinMax> base(blocks);
    for (std::size_t b = 0; b < blocks; ++b) {
        const double* p = samples.data() + (b << kBaseShift);
        double lo = p[0], hi = p[0];
        for (std::size_t i = 1; i < (std::size_t{1} << kBaseShift); ++i) {
            lo = std::min(lo, p[i]);
            hi = std::max(hi, p[i]);
        }
        base[b] = {lo, hi};
    }
    levels_.push_back(std::move(base));
    while (levels_.back().size() >= 2) {
        const std::vector<MinMax>& below = levels_.back();
        std::vector<MinMax> up(below.size() / 2);
        for (std::size_t j = 0; j < up.size(); ++j)
            up[j] = {std::min(below[2 * j].min, below[2 * j + 1].min),
                     std::max(below[2 * j].max, below[2 * j + 1].max)};
        levels_.push_back(std::move(up));
    }
}

MinMax MinMaxPyramid::range(std::size_t first, std::size_t last) const {
    MinMax r{samples_[first], samples_[first]};
    auto takeSample = [&](std::size_t i) {
        r.min = std::min(r.min, samples_[i]);
        r.max = std::max(r.max, samples_[i]);
    };
    constexpr std::size_t block = std::size_t{1} << kBaseShift;
    // Unaligned ends from the raw samples, then whole blocks level by level.
    std::size_t lo = (first + block - 1) / block, hi = last / block;
    if (lo >= hi || levels_.empty()) {
        for (std::size_t i = first; i < last; ++i)
            takeSample(i);
        return r;
    }
    for (std::size_t i = first; i < lo * block; ++i)
        takeSample(i);
    for (std::size_t i = hi * block; i < last; ++i)
        takeSample(i);
    auto take = [&](const MinMax& m) {
        r.min = std::min(r.min, m.min);
        r.max = std::max(r.max, m.max);
    };
    for (std::size_t k = 0; lo < hi; ++k) {
        const std::vector<MinMax>& level = levels_[k];
        if (k + 1 >= levels_.size()) {
            for (std::size_t j = lo; j < hi; ++j)
                take(level[j]);
            break;
        }
        if (lo & 1) take(level[lo++]);
        if (lo < hi && (hi & 1)) take(level[--hi]);
        lo /= 2;
        hi /= 2;
    }
    return r;
}

} // namespace tlx::views
