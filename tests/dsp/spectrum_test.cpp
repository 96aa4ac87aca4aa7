#include "dsp/spectrum.h"
#include "dsp/spectrum_settings.h"

#include "core/messages.h"
#include "fake_window.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <complex>
#include <fstream>
#include <numbers>
#include <sstream>
#include <thread>

namespace tlx {
namespace {

std::vector<double> wave(std::size_t n, double rate = 100) {
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = 50 + 30 * std::sin(2 * std::numbers::pi * 2 * i / rate) +
               5 * std::sin(2 * std::numbers::pi * 20 * i / rate);
    return x;
}

TEST(SpectrumExtent, LengthAndPadding) {
    struct Case {
        TransformKind kind;
        long long n;
        bool pad;
        long long analysed, length, padded;
    };
    const Case cases[] = {
        {TransformKind::Fft, 1000, true, 1000, 1024, 24},
        {TransformKind::Fft, 1000, false, 512, 512, 0},
        {TransformKind::Fft, 1024, true, 1024, 1024, 0},
        {TransformKind::Fft, 1024, false, 1024, 1024, 0},
        {TransformKind::Dft, 1000, true, 1000, 1000, 0},
        {TransformKind::Fft, 1, true, 1, 1, 0},
        {TransformKind::Fft, 0, true, 0, 0, 0},
        {TransformKind::Fft, 9'000'000, true, 8'388'608, 8'388'608, 0}, // 2^24 would pass the limit
        {TransformKind::Dft, 20'000'000, true, kMaxSpectrumPoints, kMaxSpectrumPoints, 0},
    };
    for (const Case& c : cases) {
        const SpectrumExtent e = spectrumExtent(c.kind, c.n, c.pad);
        EXPECT_EQ(e.analysed, c.analysed) << c.n;
        EXPECT_EQ(e.length, c.length) << c.n;
        EXPECT_EQ(e.padded, c.padded) << c.n;
    }
}

TEST(SpectrumDisplay, RangeAndAxes) {
    struct Case {
        double rate;
        long long length;
        double fLow, fHigh;
    };
    const Case cases[] = {
        {100, 1024, 0.01, 100}, {100, 100, 1, 100},      {200, 100000000, 0.001, 100},
        {20, 2048, 0.001, 10},  {1000, 1024, 0.1, 1000}, {8000, 1024, 1, 1000},
        {1, 1, 1, 10},
    };
    for (const Case& c : cases) {
        double lo = 0, hi = 0;
        displayRange(c.rate, c.length, lo, hi);
        EXPECT_DOUBLE_EQ(lo, c.fLow) << c.rate << " " << c.length;
        EXPECT_DOUBLE_EQ(hi, c.fHigh) << c.rate << " " << c.length;
    }
    const SpectrumAxes a = spectrumAxes(0.01, 100, 345, 2e-12, true);
    EXPECT_EQ(a.xDecades, 4);
    EXPECT_EQ(a.yTop, 3);
    EXPECT_EQ(a.yBottom, -9); // at most 12 decades: the bottom is raised
    EXPECT_EQ(a.yMax, 500);
    const SpectrumAxes exact = spectrumAxes(0.01, 100, 100, 0.01, true);
    EXPECT_EQ(exact.yTop, 2);
    EXPECT_EQ(exact.yBottom, -2);
    const SpectrumAxes zero = spectrumAxes(0.01, 100, 0, 0, true);
    EXPECT_LT(zero.yBottom, zero.yTop);
    EXPECT_NEAR(fractionToFrequency(frequencyToFraction(3.3, 0.01, 100), 0.01, 100), 3.3, 1e-12);
}

struct GoldenSpectrum {
    TransformKind kind;
    long long n;
    bool pad, window, removeMean;
    long long length;
    std::vector<double> input;
    std::vector<std::complex<double>> spectrum;
};

std::vector<GoldenSpectrum> readGolden() {
    std::vector<GoldenSpectrum> out;
    std::ifstream in(test::sourceDir() / "tests/dsp/data/spectrum_golden.txt");
    std::string line;
    bool inSpectrum = false;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "case") {
            GoldenSpectrum g;
            int pad = 0, window = 0, remove = 0;
            words >> word >> g.n >> pad >> window >> remove >> g.length;
            g.kind = word == "DFT" ? TransformKind::Dft : TransformKind::Fft;
            g.pad = pad, g.window = window, g.removeMean = remove;
            out.push_back(g);
            inSpectrum = false;
        } else if (word == "spectrum") {
            inSpectrum = true;
        } else if (inSpectrum) {
            double re = std::stod(word), im = 0;
            words >> im;
            out.back().spectrum.emplace_back(re, im);
        } else {
            out.back().input.push_back(std::stod(word));
        }
    }
    return out;
}

TEST(Spectrum, MatchesNumpyForPowersOfTwoAndPrimes) {
    const std::vector<GoldenSpectrum> golden = readGolden();
    ASSERT_EQ(golden.size(), 6u);
    for (const GoldenSpectrum& g : golden) {
        SpectrumRequest r;
        r.kind = g.kind, r.padOn = g.pad, r.windowOn = g.window, r.removeMean = g.removeMean,
        r.sampleRate = 100;
        Spectrum s;
        std::string error;
        ASSERT_TRUE(s.compute(g.input, r, nullptr, error)) << error;
        ASSERT_EQ(s.length(), g.length);
        ASSERT_EQ(s.bins().size(), g.spectrum.size());
        double scale = 0, worst = 0;
        for (std::size_t j = 0; j < g.spectrum.size(); ++j) {
            scale = std::max(scale, std::abs(g.spectrum[j]));
            worst = std::max(worst, std::abs(s.bins()[j] - g.spectrum[j]));
        }
        EXPECT_LE(worst / scale, 1e-12) << g.n << " " << g.length;
    }
}

// The direct sum with the program's own angle steps, as the reference the transform must equal.
TEST(Spectrum, EqualsTheDirectSumWithinRounding) {
    for (std::size_t n : {7u, 64u, 97u, 360u}) {
        const std::vector<double> x = wave(n);
        SpectrumRequest r;
        r.kind = TransformKind::Dft, r.removeMean = false, r.sampleRate = 100;
        Spectrum s;
        std::string error;
        ASSERT_TRUE(s.compute(x, r, nullptr, error));
        for (std::size_t k = 0; k <= n / 2; ++k) {
            double re = 0, im = 0;
            for (std::size_t j = 0; j < n; ++j) {
                const double angle = static_cast<double>(j) * (-2 * 3.141592654 * k / n);
                re += std::cos(angle) * x[j];
                im += std::sin(angle) * x[j];
            }
            // The program's π is rounded to ten digits; the sums agree to that.
            EXPECT_NEAR(s.bins()[k].real(), re / n, 1e-6) << n << " " << k;
            EXPECT_NEAR(s.bins()[k].imag(), im / n, 1e-6) << n << " " << k;
        }
    }
}

TEST(Spectrum, AmplitudesOfASine) {
    const std::vector<double> x = wave(1024);
    SpectrumRequest r;
    r.sampleRate = 100;
    Spectrum s;
    std::string error;
    ASSERT_TRUE(s.compute(x, r, nullptr, error));
    EXPECT_NEAR(s.binWidth(), 0.09765625, 1e-12);
    EXPECT_EQ(s.amplitude()[0], 0); // below fLow: an export right after opening shows 0 in bin 0
    s.computeAmplitudes({false, false, 0});
    // 2 Hz falls between bins; the neighbouring bins carry most of the 30-count sine.
    const std::size_t bin = static_cast<std::size_t>(std::lround(2 / s.binWidth()));
    EXPECT_GT(s.amplitude()[bin], 15);
    EXPECT_LT(s.amplitude()[bin], 30.5);
    const double counts = s.amplitude()[bin];
    s.computeAmplitudes({true, true, 1e-6});
    EXPECT_DOUBLE_EQ(s.amplitude()[bin], counts * 2 * 1e-6);
    s.computeAmplitudes({false, true, 0}); // volts without a calibration stay counts
    EXPECT_DOUBLE_EQ(s.amplitude()[bin], counts);
    EXPECT_EQ(s.statusText("STA1"), "STA1 - Samples: 1024  Padded: 0");
}

TEST(Spectrum, BadInput) {
    Spectrum s;
    std::string error;
    SpectrumRequest r;
    r.sampleRate = 100;
    EXPECT_FALSE(s.compute({}, r, nullptr, error));
    const std::vector<double> x = wave(51);
    r.startIndex = 51;
    EXPECT_FALSE(s.compute(x, r, nullptr, error));
    r.startIndex = 0;
    r.sampleRate = 0;
    EXPECT_FALSE(s.compute(x, r, nullptr, error));
    r.sampleRate = 100;
    ASSERT_TRUE(s.compute(x, r, nullptr, error));
    EXPECT_EQ(s.length(), 64);
    for (double a : s.amplitude())
        EXPECT_TRUE(std::isfinite(a));
    RecordingMessages messages;
    EXPECT_FALSE(s.lowPass(0, 4, messages));
    EXPECT_FALSE(s.highPass(1, 129, messages));
    EXPECT_FALSE(s.bandPass(5, 1, 4, messages)); // low-pass corner below the high-pass one
    EXPECT_FALSE(s.notch(1, 5, 4, messages));
    EXPECT_TRUE(messages.contains("Input Error: Low-Pass Frequency must be lower then High-Pass Frequency"));
    EXPECT_FALSE(s.filtered());
}

TEST(Spectrum, FiltersAndTheWayBackThroughUndo) {
    const std::vector<double> x = wave(1000);
    for (bool windowOn : {false, true}) {
        test::FakeWindow window(100, {std::vector<double>(1200, 7.0), x});
        SpectrumRequest r;
        r.kind = TransformKind::Fft, r.windowOn = windowOn, r.sampleRate = 100;
        Spectrum s;
        std::string error;
        ASSERT_TRUE(s.compute(window.record(1).samples, r, nullptr, error));
        // Unfiltered, the way back changes nothing.
        EXPECT_FALSE(s.backToTimeDomain(window, 1));
        EXPECT_EQ(window.operations, 0);
        // Without a filter the inverse gives the record back, less its mean.
        const std::vector<double> back = s.timeDomain();
        ASSERT_EQ(back.size(), 1000u);
        for (std::size_t i = 0; i < back.size(); ++i)
            ASSERT_NEAR(back[i], x[i] - s.mean(), 1e-9);

        RecordingMessages messages;
        ASSERT_TRUE(s.lowPass(8, 6, messages));
        ASSERT_TRUE(s.notch(30, 10, 4, messages));
        ASSERT_TRUE(s.backToTimeDomain(window, 1));
        EXPECT_EQ(window.undoLabel, "FFT Filtering");
        const std::vector<std::string> notes = {
            "FFT Filter BW LP Freq: 8 Hz  Poles: 6",
            "FFT Filter BW Notch FreqHi: 30 Hz  FreqLow: 10 Hz  Poles: 4"};
        EXPECT_EQ(window.record(1).history, notes);
        EXPECT_TRUE(window.record(0).history.empty());
        EXPECT_EQ(window.record(0).samples, std::vector<double>(1200, 7.0));
        // The 20 Hz component is gone, the 2 Hz one stays.
        double hf = 0, lf = 0;
        for (std::size_t i = 200; i < 800; ++i) {
            const double t = 2 * std::numbers::pi * i / 100;
            hf += window.record(1).samples[i] * std::sin(20 * t);
            lf += window.record(1).samples[i] * std::sin(2 * t);
        }
        EXPECT_LT(std::fabs(hf) / 300, 0.2) << windowOn;
        EXPECT_NEAR(lf / 300, 30, 1) << windowOn;
        window.undo();
        EXPECT_EQ(window.record(1).samples, x);
    }
}

TEST(Spectrum, ViewOnlyReplacesJustTheAnalysedPart) {
    const std::vector<double> x = wave(600);
    test::FakeWindow window(100, {x});
    SpectrumRequest r;
    r.kind = TransformKind::Dft, r.startIndex = 100, r.count = 300, r.sampleRate = 100;
    Spectrum s;
    std::string error;
    ASSERT_TRUE(s.compute(x, r, nullptr, error));
    RecordingMessages messages;
    ASSERT_TRUE(s.highPass(5, 4, messages));
    ASSERT_TRUE(s.backToTimeDomain(window, 0));
    const std::vector<double>& y = window.record(0).samples;
    EXPECT_TRUE(std::equal(x.begin(), x.begin() + 100, y.begin()));
    EXPECT_TRUE(std::equal(x.begin() + 400, x.end(), y.begin() + 400));
    EXPECT_NE(y[250], x[250]);
}

TEST(SpectrumJob, RunsAndCancels) {
    const std::vector<double> x = wave(300000);
    SpectrumRequest r;
    r.kind = TransformKind::Dft, r.sampleRate = 100;
    SpectrumJob job;
    job.start(x, r);
    while (!job.done())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(job.percent(), 100);
    Spectrum s;
    std::string error;
    ASSERT_TRUE(job.take(s, error));
    EXPECT_EQ(s.length(), 300000);

    SpectrumJob cancelled;
    cancelled.start(x, r);
    cancelled.cancel();
    while (!cancelled.done())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    Spectrum none;
    EXPECT_FALSE(cancelled.take(none, error));
    EXPECT_TRUE(none.empty());
}

TEST(SpectrumFiles, ExportAndRatio) {
    test::TempDir dir;
    EXPECT_EQ(defaultExportName("/data/EV0001.SVX"), "EV0001.fft.txt");
    EXPECT_EQ(defaultExportName("quake.sac"), "quake.sac.fft.txt");

    SpectrumRequest r;
    r.sampleRate = 100;
    std::string error;
    Spectrum a, b, other;
    std::vector<double> x = wave(256);
    ASSERT_TRUE(a.compute(x, r, nullptr, error));
    for (double& v : x)
        v *= 2;
    ASSERT_TRUE(b.compute(x, r, nullptr, error));
    RecordingMessages messages;
    ASSERT_TRUE(exportSpectrum(dir / "e.fft.txt", a, messages));
    std::ifstream in(dir / "e.fft.txt");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "Freq,Real,Imaginary,Magnitude");
    int lines = 0;
    while (std::getline(in, line))
        ++lines;
    EXPECT_EQ(lines, 128);
    EXPECT_FALSE(exportSpectrum(dir / "no" / "e.txt", a, messages));
    EXPECT_TRUE(messages.contains("Can't open output file"));

    ASSERT_TRUE(writeRatioFile(dir.path(), b, &a, messages));
    EXPECT_TRUE(messages.contains("RATIO.TXT file created in directory " + dir.path().string()));
    std::ifstream ratio(dir / "ratio.txt");
    int count = 0;
    double f = 0, q = 0;
    while (ratio >> f >> q) {
        ASSERT_TRUE(std::isfinite(q));
        if (count > 0) {
            EXPECT_NEAR(q, 2, 1e-6) << f;
        } else {
            EXPECT_EQ(q, 0); // bin 0 lies outside the range
        }
        ++count;
    }
    EXPECT_EQ(count, 128);
    ASSERT_TRUE(other.compute(wave(300), r, nullptr, error));
    EXPECT_FALSE(writeRatioFile(dir.path(), a, &other, messages));
    EXPECT_FALSE(writeRatioFile(dir.path(), a, nullptr, messages));
    EXPECT_TRUE(messages.contains("Can't find other FFT Window"));
}

TEST(SpectrumSettings, DefaultsAndWriteBack) {
    test::TempDir dir;
    IniProfile profile(dir / "TELLURIX.INI");
    const SpectrumSettings s = loadSpectrumSettings(profile);
    EXPECT_FALSE(s.windowFft);
    EXPECT_TRUE(s.padFft && s.dcOffset && s.yLog && s.peakToPeak);
    EXPECT_EQ(s.yMode, 0);
    SpectralFilterDefaults d = loadSpectralFilterDefaults(profile);
    EXPECT_EQ(d.lowPassPoles, 6);
    EXPECT_EQ(d.bandLowFreq, 0);
    d.notchHighFreq = 12.5;
    ASSERT_TRUE(saveSpectralFilterDefaults(profile, d));
    const IniProfile reread(dir / "TELLURIX.INI");
    EXPECT_EQ(reread.getString("Filter", "NotchHighFreq"), "12.500000");
    EXPECT_EQ(reread.getString("Filter", "LowPassFreq"), "1.000000");
    EXPECT_TRUE(runsInWorker(TransformKind::Dft, 4097));
    EXPECT_FALSE(runsInWorker(TransformKind::Dft, 4096));
    EXPECT_FALSE(runsInWorker(TransformKind::Fft, 1 << 20));
    EXPECT_EQ(progressText(0), "DFT Status - 0 % Done...");
}

} // namespace
} // namespace tlx
