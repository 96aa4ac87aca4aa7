#include "dsp/filter.h"
#include "dsp/iir_filter.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

namespace tlx {
namespace {

TEST(IirDesign, MatchesTheReferenceCoefficients) {
    struct Case {
        char type;
        double cutoff;
        int poles;
        double gain;
        std::vector<IirSection> sections; // b2/a2 of a first-order section are 0
    };
    const Case cases[] = {
        {'L', 1, 2, 0.000946888, {{-1.911092, 0.914879, 2, 1}}},
        {'H', 1, 2, 0.956594, {{-1.911302, 0.915072, -2, 1}}},
        {'L', 1, 3, 2.92143e-05, {{-0.939016, 0, 1, 0}, {-1.935242, 0.939074, 2, 1}}},
    };
    for (const Case& c : cases) {
        IirDesign d;
        ASSERT_EQ(designIir(c.type, c.cutoff, c.poles, 100, d), IirStatus::Ok);
        const IirSections s = sectionsOf(d);
        EXPECT_NEAR(s.gain / c.gain, 1, 1e-5) << c.type << c.poles;
        ASSERT_EQ(s.sections.size(), c.sections.size());
        for (std::size_t i = 0; i < s.sections.size(); ++i) {
            EXPECT_NEAR(s.sections[i].a1, c.sections[i].a1, 2e-6);
            EXPECT_NEAR(s.sections[i].a2, c.sections[i].a2, 2e-6);
            EXPECT_NEAR(s.sections[i].b1, c.sections[i].b1, 1e-12);
            EXPECT_NEAR(s.sections[i].b2, c.sections[i].b2, 1e-12);
        }
    }
}

TEST(IirDesign, ValidatesEdgesAndComputesTheOrder) {
    struct Case {
        char type;
        double cutoff;
        int poles;
        double rate;
        IirStatus status;
        int order;
    };
    const Case cases[] = {
        {'L', 25, 2, 100, IirStatus::Ok, 1},          // a quarter of the rate is accepted
        {'L', 25.001, 2, 100, IirStatus::Invalid, 0}, // stopband edge above Nyquist
        {'L', 20, 4, 100, IirStatus::Ok, 2},          // pre-warping lowers the order
        {'L', 24, 2, 100, IirStatus::Ok, 1},
        {'L', 1, 32, 100, IirStatus::Ok, 32},
        {'H', 0.0001, 2, 100, IirStatus::Invalid, 0}, // stopband edge below 0.0001
        {'H', 0.0002, 2, 100, IirStatus::Ok, 2},
        {'H', 50, 2, 100, IirStatus::DesignFailed, 0}, // at Nyquist: passes validation only
        {'H', 50.01, 2, 100, IirStatus::Invalid, 0},
        {'L', 0, 2, 100, IirStatus::Invalid, 0},
        {'L', -1, 2, 100, IirStatus::Invalid, 0},
        {'L', 1, 2, 0, IirStatus::Invalid, 0},
        {'L', 1, 2, -100, IirStatus::Invalid, 0},
        {'L', NAN, 2, 100, IirStatus::Invalid, 0},
        {'L', 1, 34, 100, IirStatus::Invalid, 0}, // -204 dB stopband is beyond -200
    };
    for (const Case& c : cases) {
        IirDesign d;
        EXPECT_EQ(designIir(c.type, c.cutoff, c.poles, c.rate, d), c.status)
            << c.type << " " << c.cutoff << " " << c.poles;
        if (c.status == IirStatus::Ok) {
            EXPECT_EQ(d.order, c.order) << c.type << " " << c.cutoff;
        }
    }
}

double gainAt(char type, double cutoff, int poles, double rate, double f) {
    IirDesign d;
    EXPECT_EQ(designIir(type, cutoff, poles, rate, d), IirStatus::Ok);
    const int n = static_cast<int>(rate * 40);
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = std::sin(2 * std::numbers::pi * f * i / rate);
    CIirFilter(d, Direction::Forward).process(x);
    double in = 0, out = 0;
    for (int i = n / 2; i < n; ++i)
        in += 0.5, out += x[i] * x[i];
    return std::sqrt(out / in);
}

// Where no scipy design is identical, the response itself is measured on sines.
TEST(IirDesign, MeasuredResponseHasItsCornerAndSlope) {
    for (int poles : {1, 2, 4, 6}) {
        // -3 dB (the passband attenuation) at the cutoff, in both directions of the transform.
        EXPECT_NEAR(20 * std::log10(gainAt('L', 2, poles, 200, 2)), -3, 0.05) << poles;
        EXPECT_NEAR(20 * std::log10(gainAt('H', 2, poles, 200, 2)), -3, 0.05) << poles;
        // About 20 dB per decade and pole well inside the band.
        const double low = 20 * std::log10(gainAt('L', 1, poles, 400, 10) / gainAt('L', 1, poles, 400, 0.1));
        EXPECT_NEAR(low / poles, -20, 0.6) << poles;
        const double high = 20 * std::log10(gainAt('H', 1, poles, 400, 0.1) / gainAt('H', 1, poles, 400, 10));
        EXPECT_NEAR(high / poles, -20, 0.6) << poles;
    }
}

struct Golden {
    std::vector<double> input;
    struct Case {
        char type;
        double cutoff, rate;
        int poles, forward, order;
        std::vector<double> output;
    };
    std::vector<Case> cases;
};

Golden readGolden() {
    Golden g;
    std::ifstream in(test::sourceDir() / "tests/dsp/data/iir_golden.txt");
    std::string line;
    std::vector<double>* into = nullptr;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "input") {
            into = &g.input;
        } else if (word == "case") {
            Golden::Case c;
            words >> c.type >> c.cutoff >> c.poles >> c.rate >> c.forward >> c.order;
            g.cases.push_back(c);
            into = &g.cases.back().output;
        } else if (into) {
            into->push_back(std::stod(line));
        }
    }
    return g;
}

TEST(IirFilter, MatchesScipyOnTheSameDesign) {
    const Golden g = readGolden();
    ASSERT_EQ(g.input.size(), 256u);
    ASSERT_EQ(g.cases.size(), 8u);
    for (const Golden::Case& c : g.cases) {
        IirDesign d;
        ASSERT_EQ(designIir(c.type, c.cutoff, c.poles, c.rate, d), IirStatus::Ok);
        EXPECT_EQ(d.order, c.order);
        std::vector<double> x = g.input;
        CIirFilter(d, c.forward ? Direction::Forward : Direction::Backward).process(x);
        double scale = 0, worst = 0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            scale = std::max(scale, std::fabs(c.output[i]));
            worst = std::max(worst, std::fabs(x[i] - c.output[i]));
        }
        EXPECT_LE(worst / scale, 1e-9) << c.type << " " << c.cutoff << " Hz " << c.poles << " poles";
    }
}

TEST(IirFilter, SettlesOnTheEdgeValueAndHandlesShortRecords) {
    for (Direction dir : {Direction::Forward, Direction::Backward}) {
        IirDesign d;
        ASSERT_EQ(designIir('L', 1, 4, 100, d), IirStatus::Ok);
        std::vector<double> constant(500, 1234.5);
        CIirFilter(d, dir).process(constant);
        for (double v : constant)
            EXPECT_NEAR(v, 1234.5, 1e-7);

        for (std::size_t n : {1u, 2u, 51u}) {
            std::vector<double> x(n);
            for (std::size_t i = 0; i < n; ++i)
                x[i] = (i % 7) * 100.0 - 250;
            CIirFilter(d, dir).process(x);
            for (double v : x)
                EXPECT_TRUE(std::isfinite(v));
        }
        std::vector<double> empty;
        CIirFilter(d, dir).process(empty);
    }
}

TEST(IirFilter, BackwardRunIsTheForwardRunOfTheReversedRecord) {
    IirDesign d;
    ASSERT_EQ(designIir('H', 0.5, 3, 100, d), IirStatus::Ok);
    std::vector<double> x(300);
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = std::sin(i * 0.05) * 100 + (i > 150 ? 40 : 0);
    std::vector<double> reversed(x.rbegin(), x.rend());
    CIirFilter(d, Direction::Backward).process(x);
    CIirFilter(d, Direction::Forward).process(reversed);
    for (std::size_t i = 0; i < x.size(); ++i)
        EXPECT_DOUBLE_EQ(x[i], reversed[x.size() - 1 - i]);
}

TEST(PeriodExtend, SubStepsFollowTheSensorPeriodInSamples) {
    EXPECT_EQ(CPeriodExtend(100, 1, 0.707, 0.1).subSteps(), 1);
    EXPECT_EQ(CPeriodExtend(40, 1, 0.707, 0.1).subSteps(), 2);
    EXPECT_EQ(CPeriodExtend(20, 0.5, 0.707, 0.1).subSteps(), 6);
}

// The sensor's response (1 s, Q 0.707) is replaced by a 100 s one: a 0.1 Hz sine, a decade below
// the sensor's corner, comes out about (1 / 0.1)² = 100 times larger; 5 Hz passes nearly unchanged.
TEST(PeriodExtend, ExtendsTheResponseBelowTheSensorCorner) {
    auto peakGain = [](double f) {
        std::vector<double> x(300000);
        for (std::size_t i = 0; i < x.size(); ++i)
            x[i] = std::sin(2 * std::numbers::pi * f * i / 100);
        CPeriodExtend(100, 1, 0.707, 0.01).process(x);
        double peak = 0;
        for (std::size_t i = x.size() - 20000; i < x.size(); ++i)
            peak = std::max(peak, std::fabs(x[i]));
        return peak;
    };
    EXPECT_NEAR(peakGain(5), 1, 0.1);
    EXPECT_NEAR(peakGain(0.1), 100, 5);
}

} // namespace
} // namespace tlx
