// Minimum and maximum of any range of samples in O(log n): block extremes precomputed in levels
// (16, 32, 64 ... samples), so that drawing costs follow the window width, not the record length.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace tlx::views {

struct MinMax {
    double min = 0;
    double max = 0;
};

class MinMaxPyramid {
  public:
    MinMaxPyramid() = default;
    explicit MinMaxPyramid(std::span<const double> samples) { rebuild(samples); }

    // Must be called whenever the samples change (filters, undo, integration).
    void rebuild(std::span<const double> samples);

    // Extremes of samples [first, last); the range must be non-empty and inside the samples
    // given to rebuild().
    MinMax range(std::size_t first, std::size_t last) const;

    std::size_t size() const { return samples_.size(); }

  private:
    static constexpr std::size_t kBaseShift = 4; // level 0 holds blocks of 16 samples

    std::span<const double> samples_;
    std::vector<std::vector<MinMax>> levels_; // levels_[k]: blocks of 16 << k samples
};

} // namespace tlx::views
