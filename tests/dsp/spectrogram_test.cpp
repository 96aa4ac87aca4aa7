#include "dsp/spectrogram.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <thread>

namespace tlx {
namespace {

struct GoldenSpectrogram {
    SpectrogramRequest request;
    int columns = 0, bins = 0;
    std::vector<double> input, times, power;
};

// tools/make_dsp_golden.py: scipy.signal.spectrogram of three inputs.
std::vector<GoldenSpectrogram> readGolden() {
    std::vector<GoldenSpectrogram> out;
    std::ifstream in(test::sourceDir() / "tests/dsp/data/spectrogram_golden.txt");
    std::string line;
    std::vector<double>* target = nullptr;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "case") {
            GoldenSpectrogram g;
            long n = 0;
            words >> n >> g.request.sampleRate >> g.request.window >> g.request.overlap >> g.columns >>
                g.bins;
            out.push_back(g);
            target = &out.back().input;
        } else if (word == "times") {
            target = &out.back().times;
        } else if (word == "power") {
            target = &out.back().power;
        } else {
            target->push_back(std::stod(word));
        }
    }
    return out;
}

// Bin of the largest power in a column, from bin `from` on.
int ridge(const Spectrogram& s, int column, int from = 1, int to = -1) {
    int best = from;
    for (int j = from; j < (to < 0 ? s.bins() : to); ++j)
        if (s.power(column, j) > s.power(column, best)) best = j;
    return best;
}

std::vector<double> sampled(int n, double rate, auto f) {
    std::vector<double> x(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        x[i] = f(i / rate);
    return x;
}

TEST(Spectrogram, EqualsScipyWithTheSameWindowLengthAndOverlap) {
    const std::vector<GoldenSpectrogram> golden = readGolden();
    ASSERT_EQ(golden.size(), 3u);
    for (const GoldenSpectrogram& g : golden) {
        Spectrogram s;
        std::string error;
        ASSERT_TRUE(s.compute(g.input, g.request, nullptr, error)) << error;
        ASSERT_EQ(s.columns(), g.columns);
        ASSERT_EQ(s.bins(), g.bins);
        double top = 0;
        for (double p : g.power)
            top = std::max(top, p);
        for (int c = 0; c < g.columns; ++c) {
            EXPECT_NEAR(s.time(c), g.times[c], 1e-12);
            for (int j = 0; j < g.bins; ++j) {
                const double want = g.power[static_cast<std::size_t>(c) * g.bins + j];
                ASSERT_LE(std::abs(s.power(c, j) - want), 1e-9 * std::max(want, 1e-9 * top))
                    << "window " << g.request.window << " column " << c << " bin " << j;
            }
        }
    }
}

TEST(Spectrogram, RidgeOfAChirpRisesAndTwoSinesGiveTwoRidges) {
    const double rate = 100;
    // Linear chirp from 1 to 20 Hz over 60 s: phase 2π(f0 t + k t²/2).
    const std::vector<double> chirp = sampled(
        6000, rate, [](double t) { return std::sin(2 * std::numbers::pi * (t + 19.0 / 60 * t * t / 2)); });
    Spectrogram s;
    std::string error;
    ASSERT_TRUE(s.compute(chirp, {rate, 256, 192}, nullptr, error)) << error;
    const double df = s.frequency(1);
    double previous = 0;
    for (int c = 0; c < s.columns(); ++c) {
        const double f = s.frequency(ridge(s, c));
        EXPECT_GE(f, previous - df) << "column " << c;
        EXPECT_NEAR(f, 1 + 19.0 / 60 * s.time(c), 1.5 * df) << "column " << c;
        previous = std::max(previous, f);
    }

    const std::vector<double> two = sampled(3000, rate, [](double t) {
        return 3 * std::sin(2 * std::numbers::pi * 5 * t) + std::sin(2 * std::numbers::pi * 17.5 * t);
    });
    ASSERT_TRUE(s.compute(two, defaultSpectrogramRequest(rate, 3000), nullptr, error)) << error;
    const int split = static_cast<int>(11 / s.frequency(1));
    for (int c = 0; c < s.columns(); ++c) {
        EXPECT_NEAR(s.frequency(ridge(s, c, 1, split)), 5, s.frequency(1) / 2);
        EXPECT_NEAR(s.frequency(ridge(s, c, split)), 17.5, s.frequency(1) / 2);
    }
}

TEST(Spectrogram, RefusesWhatCannotBeComputedAndTheJobCancels) {
    const std::vector<double> x(1000, 1.0);
    const struct {
        SpectrogramRequest request;
        std::size_t samples;
    } bad[] = {{{0, 64, 0}, 1000}, {{100, 64, 64}, 1000}, {{100, 2000, 0}, 1000}, {{100, 1, 0}, 1000}};
    for (const auto& b : bad) {
        Spectrogram s;
        std::string error;
        EXPECT_FALSE(s.compute(std::span(x).first(b.samples), b.request, nullptr, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(s.empty());
    }
    // A long job stops at once when cancelled and gives nothing.
    const std::vector<double> longRecord(5'000'000, 1.0);
    SpectrogramJob job;
    job.start(longRecord, {100, 16, 15});
    job.cancel();
    Spectrogram out;
    std::string error;
    EXPECT_FALSE(job.take(out, error));
    EXPECT_EQ(error, "Cancelled");
    job.start(std::span(longRecord).first(4096), {100, 256, 128});
    while (!job.done())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(job.take(out, error)) << error;
    EXPECT_EQ(out.columns(), 31);
    EXPECT_EQ(job.percent(), 100);
}

} // namespace
} // namespace tlx
