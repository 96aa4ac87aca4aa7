#include "seismo/coda.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <vector>

namespace tlx {
namespace {

// 60 s at 100 sps on a DC level of 500: uniform noise of RMS sigma (fixed seed), and from pSeconds
// a 5 Hz wave of amplitude a that decays with the time constant tau.
std::vector<double> codaRecord(double pSeconds, double a, double tau, double sigma) {
    std::mt19937 random(7);
    std::vector<double> x(6000);
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double t = static_cast<double>(i) / 100;
        const double u = static_cast<double>(random()) / 4294967295.0 * 2 - 1;
        x[i] = 500 + u * sigma * std::sqrt(3.0);
        if (t >= pSeconds)
            x[i] += a * std::exp(-(t - pSeconds) / tau) * std::sin(2 * M_PI * 5 * (t - pSeconds));
    }
    return x;
}

TEST(Coda, EndOfAnExponentialDecayAboveNoise) {
    // The 5 Hz wave's RMS over a second is a / sqrt(2) x exp(-t / tau); with the noise the envelope
    // is sqrt(that^2 + sigma^2), which reaches 2 sigma when the wave's RMS is sqrt(3) sigma:
    // t = tau x ln(a / (sqrt(6) sigma)) after P. The noise in each one-second RMS (about 0.5 s in
    // time at the end level) sets the tolerance.
    struct Case {
        const char* name;
        double p, a, tau;
        std::optional<double> end;
    };
    const double sigma = 10;
    const Case cases[] = {
        {"decays within the record", 10, 1000, 8, 10 + 8 * std::log(1000 / (std::sqrt(6.0) * sigma))},
        {"faster decay, later P", 20, 3000, 4, 20 + 4 * std::log(3000 / (std::sqrt(6.0) * sigma))},
        {"still ringing at the end", 10, 1000, 200, std::nullopt},
        {"no event above the noise", 10, 0, 8, std::nullopt},
        {"less than a second of noise before P", 0.5, 1000, 8, std::nullopt},
        {"P after the last sample", 70, 1000, 8, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<double> end = codaEndSeconds(codaRecord(c.p, c.a, c.tau, sigma), 100, c.p);
        ASSERT_EQ(end.has_value(), c.end.has_value()) << c.name;
        if (c.end) {
            EXPECT_NEAR(*end, *c.end, 1.5) << c.name;
        }
    }
}

} // namespace
} // namespace tlx
