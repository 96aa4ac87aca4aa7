#include "seismo/attenuation_table.h"
#include "seismo/mag_calc.h"
#include "seismo/magnitude_corrections.h"
#include "seismo/magnitudes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tlx {
namespace {

// Two ranges: ten values at 10..100 km every 10 km, then ten at 200..1100 km every 100 km.
const char* kTables = "! test table\n"
                      "Tables: 2\n"
                      "Range: 10 to 100 Step: 10\n"
                      "! values x 100\n"
                      "100 150 200 250 300 300 320 340 360 380\n"
                      "Range: 200 to 1100 Step: 100\n"
                      "400 420 440 460 480 500 520 540 560 580\n";

AttenuationTables testTables() {
    AttenuationTables t;
    EXPECT_TRUE(parseAttenuationTables(kTables, t));
    return t;
}

TEST(AttenuationTable, ParsingRules) {
    struct Case {
        const char* name;
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"valid", kTables, true},
        {"no ranges", "Tables: 0\n", false},
        {"ten ranges", "Tables: 10\n", false},
        {"count not a multiple of ten", "Tables: 1\nRange: 0 to 80 Step: 10\n1 2 3 4 5 6 7 8 9\n", false},
        {"fifth word is not Step:", "Tables: 1\nRange: 10 to 100 Every: 10\n1 2 3 4 5 6 7 8 9 10\n", false},
        {"short value line", "Tables: 1\nRange: 10 to 100 Step: 10\n1 2 3 4 5 6 7 8 9\n", false},
        {"values missing", "Tables: 1\nRange: 10 to 100 Step: 10\n", false},
        {"second range fails the file",
         "Tables: 2\nRange: 10 to 100 Step: 10\n1 2 3 4 5 6 7 8 9 10\nRange: x\n", false},
        {"absurd range is refused", "Tables: 1\nRange: 0 to 2000000000 Step: 1\n", false},
        {"zero step", "Tables: 1\nRange: 10 to 100 Step: 0\n", false},
    };
    for (const auto& c : cases) {
        AttenuationTables t;
        EXPECT_EQ(parseAttenuationTables(c.text, t), c.ok) << c.name;
        if (!c.ok) {
            EXPECT_TRUE(t.empty()) << c.name;
        }
    }
}

TEST(AttenuationTable, LookupAtGridPointsBetweenThemAndAtRangeEdges) {
    const AttenuationTables t = testTables();
    EXPECT_EQ(t.limit, 1200);
    struct Case {
        const char* name;
        int km;
        double expected;
    };
    const Case cases[] = {
        {"zero distance", 0, 0},
        {"before the first range", 5, 0},
        {"grid point", 20, 1.50},
        {"between: 1.00 + 0.5 * 0.3 = 1.15", 13, 1.15},
        {"rounds to the nearest hundredth", 21, 1.55}, // 150 + 50 * 0.1 + 0.5 = 155.5 -> 155
        {"equal neighbours", 55, 3.00},
        {"past the last value takes the next range's first", 105, 3.90}, // 380 + 20 * 5 / 10
        {"gap between ranges", 150, 0},
        {"last value of the last range", 1100, 5.80},
        {"beyond the last value of the last range", 1150, 5.80},
        {"at the limit", 1200, 0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(minusLogA0(t, c.km), c.expected, 1e-12) << c.name;
}

TEST(Magnitudes, ForwardFormulasAgainstHandValues) {
    const AttenuationTables flat = [] {
        AttenuationTables t;
        parseAttenuationTables(
            "Tables: 1\nRange: 10 to 1000 Step: 110\n300 300 300 300 300 300 300 300 300 300\n", t);
        return t;
    }();
    const StationResponse corr{0.001, 0, 0};
    const StationResponse sens{0, 1e-7, 3};
    // log10(1000 * 0.001) + 3.00
    EXPECT_NEAR(*magnitudeMl(100, 1000, corr, flat).byCorrection, 3.0, 1e-12);
    // log10(1000 * 1e-7 * 28000) + 3.00 = log10(2.8) + 3
    EXPECT_NEAR(*magnitudeMl(100, 1000, sens, flat).bySensitivity, 3.4471580313422194, 1e-12);
    EXPECT_FALSE(magnitudeMl(100, 1000, {0, 1e-7, 2}, flat).bySensitivity)
        << "sensitivity only for displacement";
    EXPECT_FALSE(magnitudeMl(10'600, 1000, corr, flat).byCorrection);
    EXPECT_FALSE(magnitudeMl(100, 0, corr, flat).byCorrection);
    // 10 degrees: log10(100 * 0.02 / 0.2) + 1.66 + 3.3
    EXPECT_NEAR(*magnitudeMs(1111.775, 100, {0.02, 0, 0}, 20).byCorrection, 5.96, 1e-12);
    // log10(100 * 1e-6 * 10000 / 20) + 1.66 + 3.3 = log10(0.05) + 4.96
    EXPECT_NEAR(*magnitudeMs(1111.775, 100, {0, 1e-6, 3}, 20).bySensitivity, 3.6589700043360188, 1e-12);
    // log10(100 * 0.01 / 0.01) + 0.1 + 5.9
    EXPECT_NEAR(*magnitudeMb(1111.775, 100, {0.01, 0, 0}, 1).byCorrection, 8.0, 1e-12);
    // 2 log10(100) - 0.87 + 0.0035 * 100
    EXPECT_NEAR(magnitudeMd(100'000, 100), 3.48, 1e-12);
    EXPECT_EQ(magnitudeMd(0, 100), 0);
    EXPECT_NEAR(magnitudeMd(10'000, 0, {-1, 2.5, 0}), 1.5, 1e-12);
}

TEST(Magnitudes, WindowShowsMsOrMbOnlyBeyond556Km) {
    AttenuationTables tables;
    ASSERT_TRUE(parseAttenuationTables(
        "Tables: 1\nRange: 100 to 1000 Step: 100\n300 310 320 330 340 350 360 370 380 390\n", tables));
    struct Case {
        const char* name;
        double km;
        AmplitudePick pick;
        bool ms, mb;
    };
    const Case cases[] = {
        {"556 km: neither", 556, AmplitudePick::None, false, false},
        {"557 km: Ms", 557, AmplitudePick::None, true, false},
        {"557 km in Mb pick mode: Mb", 557, AmplitudePick::Mb, false, true},
        {"557 km in Ms pick mode: Ms", 557, AmplitudePick::Ms, true, false},
    };
    for (const auto& c : cases) {
        WindowMagnitudeInputs in;
        in.epicentralKm = c.km;
        in.amplitude = -500;
        in.pick = c.pick;
        in.station = {0.01, 0, 0};
        const WindowMagnitudes m = windowMagnitudes(in, tables);
        EXPECT_TRUE(m.ml.has_value()) << c.name;
        EXPECT_EQ(m.ms.has_value(), c.ms) << c.name;
        EXPECT_EQ(m.mb.has_value(), c.mb) << c.name;
    }
    WindowMagnitudeInputs none;
    none.epicentralKm = 300;
    none.amplitude = 100;
    EXPECT_FALSE(windowMagnitudes(none, tables).ml) << "no correction and no usable sensitivity";
    none.station = {0.01, 2e-7, 3};
    none.units = MagnitudeUnits::SensorUnits;
    const WindowMagnitudes sensor = windowMagnitudes(none, tables);
    EXPECT_TRUE(sensor.usedSensorUnits);
    EXPECT_NEAR(*sensor.ml, std::log10(100 * 2e-7 * 28000) + 3.2, 1e-12);
    none.mdMode = true;
    none.durationMs = 60'000;
    EXPECT_NEAR(*windowMagnitudes(none, tables).md, 2 * std::log10(60.0) - 0.87 + 0.0035 * 300, 1e-12);
}

TEST(Magnitudes, AutoSensitivityChoosesByTheRecord) {
    const AttenuationTables tables = testTables(); // -log A0 at 300 km: 4.20
    const StationResponse both{0.01, 2e-7, 3}, velocity{0.01, 2e-7, 2}, sensitivityOnly{0, 2e-7, 3};
    const double byCorrection = std::log10(100 * 0.01) + 4.2,
                 bySensitivity = std::log10(100 * 2e-7 * 28000) + 4.2;
    struct Case {
        const char* name;
        StationResponse station;
        MagnitudeUnits units;
        std::optional<double> ml;
        bool sensorUnits;
    };
    const Case cases[] = {
        {"auto, displacement with S: sensor units", both, MagnitudeUnits::Auto, bySensitivity, true},
        {"auto, velocity: correction", velocity, MagnitudeUnits::Auto, byCorrection, false},
        {"correction forced", both, MagnitudeUnits::Correction, byCorrection, false},
        {"correction forced without C: none", sensitivityOnly, MagnitudeUnits::Correction, std::nullopt,
         false},
        {"sensor units forced", both, MagnitudeUnits::SensorUnits, bySensitivity, true},
        {"sensor units without a usable S: correction", velocity, MagnitudeUnits::SensorUnits, byCorrection,
         false},
    };
    EXPECT_EQ(magnitudeUnitsFromSetting(true), MagnitudeUnits::Auto);
    EXPECT_EQ(magnitudeUnitsFromSetting(false), MagnitudeUnits::Correction);
    for (const Case& c : cases) {
        WindowMagnitudeInputs in;
        in.epicentralKm = 300;
        in.amplitude = 100;
        in.station = c.station;
        in.units = c.units;
        const WindowMagnitudes m = windowMagnitudes(in, tables);
        ASSERT_EQ(m.ml.has_value(), c.ml.has_value()) << c.name;
        if (c.ml) {
            EXPECT_NEAR(*m.ml, *c.ml, 1e-12) << c.name;
        }
        EXPECT_EQ(m.usedSensorUnits, c.sensorUnits) << c.name;
    }
}

// A table text of one range, 100..1000 km every 100 km, every value v.
std::string flatTableText(int v) {
    std::string values;
    for (int i = 0; i < 10; ++i)
        values += std::to_string(v) + (i < 9 ? " " : "\n");
    return "Tables: 1\nRange: 100 to 1000 Step: 100\n" + values;
}

TEST(MagnitudeTables, StationTableBeforeTheGlobalOneAndNoTableOnlyLosesMl) {
    test::TempDir dir;
    const auto write = [&](const std::string& name, const std::string& text) {
        test::writeBytes(dir / name, std::vector<std::uint8_t>(text.begin(), text.end()));
    };
    write("MAGTBL.DAT", flatTableText(300));
    write("magtbl.xyz", flatTableText(500)); // found whatever its case
    WindowMagnitudeInputs in;
    in.epicentralKm = 600;
    in.amplitude = 100;
    in.station = {0.01, 0, 0};
    in.mdMode = true;
    in.durationMs = 30'000;
    AttenuationTableSet set({std::filesystem::path(), dir.path()});
    ASSERT_TRUE(set.loadGlobal());
    EXPECT_NEAR(*windowMagnitudes(in, set, "XYZ   ").ml, 5.0, 1e-12);
    EXPECT_NEAR(*windowMagnitudes(in, set, "ABC").ml, 3.0, 1e-12);
    std::filesystem::remove(dir / "magtbl.xyz");
    EXPECT_NEAR(*windowMagnitudes(in, set, "xyz").ml, 5.0, 1e-12) << "read once and kept";
    EXPECT_EQ(set.tableFor("../MAGTBL"), set.global()) << "an id is no path";

    std::filesystem::remove(dir / "MAGTBL.DAT");
    AttenuationTableSet none({dir.path()});
    EXPECT_FALSE(none.loadGlobal());
    for (AmplitudePick pick : {AmplitudePick::None, AmplitudePick::Mb}) {
        in.pick = pick;
        const WindowMagnitudes m = windowMagnitudes(in, none, "ABC");
        EXPECT_FALSE(m.ml);
        EXPECT_EQ(m.ms.has_value(), pick == AmplitudePick::None);
        EXPECT_EQ(m.mb.has_value(), pick == AmplitudePick::Mb);
        EXPECT_NEAR(*m.md, 2 * std::log10(30.0) - 0.87 + 0.0035 * 600, 1e-12);
    }
}

TEST(Magnitudes, PeriodOfTheLargestWave) {
    const double sps = 10;
    std::vector<double> wave(600);
    for (std::size_t i = 0; i < wave.size(); ++i) {
        const double t = static_cast<double>(i) / sps;
        wave[i] = 100 + 50 * std::sin(2 * M_PI * t / 20.0) * (t > 5 && t < 55 ? 2 : 1); // 20 s period
    }
    PeriodMeasurement p = measurePeriod(wave, 0, wave.size(), 100, sps);
    EXPECT_EQ(p.error, "");
    EXPECT_NEAR(p.seconds, 20.0, 2 * 2 / sps);

    std::vector<double> ramp(100);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<double>(i);
    EXPECT_EQ(measurePeriod(ramp, 0, 100, 0, sps).error, "Can't find peak point")
        << "peak at the last sample";
    std::vector<double> bump(100, 1.0);
    bump[50] = 9;
    EXPECT_EQ(measurePeriod(bump, 0, 100, 0, sps).error, "Can't find zero crossing");
    bump[10] = -1;
    bump[70] = -1;
    p = measurePeriod(bump, 0, 100, 0, sps);
    EXPECT_DOUBLE_EQ(p.seconds, 2.0 * (70 - 10) / sps);
    EXPECT_EQ(measurePeriod(bump, 0, 40, 0, sps).error, "Can't find peak point")
        << "the peak is searched among the visible samples only: here the first sample";
}

TEST(Magnitudes, PeriodRanges) {
    EXPECT_EQ(checkMsPeriod(9.9).message, "Ms Period Error: Period 9.9 not in the range of 10 to 30 seconds");
    EXPECT_TRUE(checkMsPeriod(10).ok);
    EXPECT_EQ(checkMsPeriod(10).message, "New Ms Period = 10 Seconds or 0.1 Hz");
    EXPECT_FALSE(checkMbPeriod(6.5).ok);
    EXPECT_EQ(checkMbPeriod(0.05).message,
              "Mb Period Error: Period 0.05 not in the range of .1 to 6 seconds");
    EXPECT_EQ(checkMbPeriod(0.5).message, "New Mb Period = 0.5 Seconds or 2 Hz");
}

TEST(MagCalc, BackwardSolutionsInvertTheForwardOnes) {
    AttenuationTables tables;
    ASSERT_TRUE(parseAttenuationTables(
        "Tables: 1\nRange: 100 to 1000 Step: 100\n300 310 320 330 340 350 360 370 380 390\n", tables));
    const CMagCalc calc(tables);
    for (double km : {250.0, 3000.0}) {
        MagCalcValues v;
        v.distanceKm = km;
        v.counts = 4000;
        v.msPeriodS = 18;
        v.mbPeriodS = 1.5;
        for (MagnitudeKind kind : {MagnitudeKind::Ml, MagnitudeKind::Ms, MagnitudeKind::Mb}) {
            const auto c = calc.correctionFor(kind, 4.3, v);
            const auto d = calc.displacementFor(kind, 4.3, v);
            const bool local = kind == MagnitudeKind::Ml;
            if (local != (km <= 556)) {
                EXPECT_FALSE(c) << km;
                continue;
            }
            ASSERT_TRUE(c && d) << km;
            MagCalcValues solved = v;
            solved.correction = c;
            solved.displacementM = d;
            const MagCalcResults r = calc.calculate(solved);
            const auto pick = [&](std::optional<double> ml, std::optional<double> ms,
                                  std::optional<double> mb) {
                return local ? ml : kind == MagnitudeKind::Ms ? ms : mb;
            };
            EXPECT_NEAR(*pick(r.mlCorrection, r.msCorrection, r.mbCorrection), 4.3, 1e-9) << km;
            EXPECT_NEAR(*pick(r.ml, r.ms, r.mb), 4.3, 1e-9) << km;
        }
    }
    MagCalcValues fill;
    fill.counts = 2000;
    fill.sensitivity = 1e-6;
    CMagCalc::fillMissing(fill);
    EXPECT_DOUBLE_EQ(*fill.displacementM, 2e-5);
    EXPECT_FALSE(calc.calculate(MagCalcValues{}).ml);
}

TEST(MagCalc, TextFields) {
    struct Case {
        const char* text;
        std::optional<double> metres;
    };
    const Case cases[] = {
        {"0.002", 0.002},      {"12.5 mm", 0.0125},         {"3um", 3e-6}, {"40 nm", 4e-8}, {"1 cm", 0.01},
        {"abc", std::nullopt}, {"5 furlongs", std::nullopt}};
    for (const auto& c : cases) {
        const auto got = CMagCalc::parseDisplacement(c.text);
        ASSERT_EQ(got.has_value(), c.metres.has_value()) << c.text;
        if (got) {
            EXPECT_NEAR(*got, *c.metres, 1e-15) << c.text;
        }
    }
    EXPECT_NEAR(*CMagCalc::parseDistanceKm("100 M"), 100 / 0.621371, 1e-9);
    EXPECT_NEAR(*CMagCalc::parseDistanceKm("2D"), 222.355, 1e-9);
    EXPECT_EQ(*CMagCalc::parseDistanceKm("250"), 250);
    EXPECT_EQ(CMagCalc::displacementText(0.0125), "1.25 cm");
    EXPECT_EQ(CMagCalc::displacementText(3e-6), "3    um");
    EXPECT_EQ(CMagCalc::resultText(4.256), "4.26");
    EXPECT_EQ(CMagCalc::resultText(0.0), "");
}

TEST(MagnitudeCorrections, StationChannelFileNameAndResponse) {
    MagnitudeCorrections c;
    c.parse("! station component correction\n"
            "ABC BHZ 0.25\n"
            "XYZ N 0.5\n"
            "AB Z 1.5\n"
            "too few\n");
    EXPECT_EQ(c.byStationChannel("ABC", "BHZ"), 0.25);
    EXPECT_EQ(c.byStationChannel("ABC", "BH"), 0) << "compared over the full length";
    EXPECT_EQ(c.byStationChannel("XYZ", "N"), 0.5);
    EXPECT_EQ(c.byFileName("/data/event.xyz", 'N'), 0.5);
    EXPECT_EQ(c.byFileName("/data/event.ab1.svx", 'Z'), 1.5)
        << "two letters then a digit: code AB; BHZ is no 'Z' line";
    EXPECT_EQ(c.byFileName("/data/event.abc", 'Z'), 0) << "code ABC matches no line whose component is Z";
    EXPECT_EQ(c.byFileName("/data/event.xyz", 'Z'), 0);

    const char* response = "[OTHER.XX.BHZ_1]\nenddate=no\nsens=5\n"
                           "[ABCD.IU.BHZ_2024]\nEndDate=2020\nsens=1\nENDDATE=NO\nSENS=629145\n";
    EXPECT_NEAR(responseCorrection(response, "abcd", "BHZ"), 0.2 / (629145 * 2 / 1e6 * 3.141592653589793),
                1e-15);
    EXPECT_EQ(responseCorrection(response, "abcd", "BHN"), 0);
}

TEST(MagnitudeTables, ShippedTableFollowsHuttonAndBoore) {
    AttenuationTables t;
    ASSERT_TRUE(loadAttenuationTables(test::sourceDir() / "data" / "magtbl.dat", t));
    for (int r : {1, 17, 100, 250, 600, 1000, 1500}) {
        const double expected = 1.110 * std::log10(r / 100.0) + 0.00189 * (r - 100.0) + 3.0;
        EXPECT_NEAR(minusLogA0(t, r), expected, 0.0051) << r;
    }
    EXPECT_EQ(minusLogA0(t, 2100), 0);
}

} // namespace
} // namespace tlx
