#include "views/minmax_pyramid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace tlx::views {
namespace {

TEST(MinMaxPyramid, EveryRangeMatchesAScanOfItsSamples) {
    std::mt19937 rng(7);
    for (std::size_t n : {1u, 15u, 16u, 17u, 100u, 1023u, 4096u, 70'001u}) {
        std::vector<double> s(n);
        std::normal_distribution<double> noise(0, 100);
        for (double& v : s)
            v = noise(rng);
        MinMaxPyramid p(s);
        std::uniform_int_distribution<std::size_t> pick(0, n - 1);
        for (int k = 0; k < 400; ++k) {
            std::size_t a = pick(rng), b = pick(rng);
            if (a > b) std::swap(a, b);
            const auto [lo, hi] =
                std::minmax_element(s.begin() + static_cast<long>(a), s.begin() + static_cast<long>(b) + 1);
            const MinMax m = p.range(a, b + 1);
            ASSERT_EQ(m.min, *lo) << n << " [" << a << "," << b << "]";
            ASSERT_EQ(m.max, *hi) << n << " [" << a << "," << b << "]";
        }
        const MinMax all = p.range(0, n);
        EXPECT_EQ(all.min, *std::min_element(s.begin(), s.end()));
        EXPECT_EQ(all.max, *std::max_element(s.begin(), s.end()));
    }
}

TEST(MinMaxPyramid, RebuildFollowsChangedSamples) {
    std::vector<double> s(5000, 0.0);
    MinMaxPyramid p(s);
    s[3333] = 42;
    p.rebuild(s);
    EXPECT_EQ(p.range(0, 5000).max, 42);
    EXPECT_EQ(p.range(3334, 5000).max, 0);
}

} // namespace
} // namespace tlx::views
