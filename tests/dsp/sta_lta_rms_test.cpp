#include "dsp/rms.h"
#include "dsp/sta_lta.h"

#include "core/messages.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <random>

namespace tlx {
namespace {

TEST(StaLta, ValidationMessages) {
    struct Case {
        StaLtaSettings s;
        StaLtaField field;
        const char* message;
    };
    const Case cases[] = {
        {{"1.0", "20.0", "0.0"}, StaLtaField::None, ""},
        {{"0.01", "20", "0"}, StaLtaField::None, ""}, // one sample at 100 samples/s
        {{"0.005", "20", "0"}, StaLtaField::Sta, "Invalid STA Time"},
        {{"101", "200", "0"}, StaLtaField::Sta, "Invalid STA Time"},
        {{"abc", "20", "0"}, StaLtaField::Sta, "Invalid STA Time"},
        {{"2", "2", "0"}, StaLtaField::Lta, "Invalid LTA Time"}, // equal to the STA time
        {{"2", "1001", "0"}, StaLtaField::Lta, "Invalid LTA Time"},
        {{"1", "20", "-1"}, StaLtaField::Ratio, "Invalid Ratio Filter"},
        {{"1", "20", "1000.5"}, StaLtaField::Ratio, "Invalid Ratio Filter"},
    };
    for (const Case& c : cases) {
        RecordingMessages messages;
        double sta = 0, lta = 0, ratio = 0;
        EXPECT_EQ(validateStaLta(c.s, 100, &messages, sta, lta, ratio), c.field) << c.s.sta << " " << c.s.lta;
        if (c.field != StaLtaField::None) {
            EXPECT_TRUE(messages.contains(c.message));
        }
        // The silent run at dialog start shows nothing.
        StaLtaResult result;
        EXPECT_EQ(computeStaLta(std::vector<double>(10, 1.0), 100, 0, c.s, nullptr, result),
                  c.field == StaLtaField::None);
    }
    const StaLtaSettings def = parseStaLtaSetting("2.0 30");
    EXPECT_EQ(formatStaLtaSetting(def), "1.0 20.0 0.0");
    EXPECT_EQ(formatStaLtaSetting(parseStaLtaSetting("2.0  30 1.5")), "2.0 30 1.5");
}

TEST(StaLta, BlocksAndAllZeroRecord) {
    StaLtaResult r;
    const std::vector<double> zeros(3000, 0.0);
    ASSERT_TRUE(computeStaLta(zeros, 100, 0, {"1", "20", "0"}, nullptr, r));
    EXPECT_EQ(r.staSamples, 100);
    EXPECT_EQ(r.ltaSamples, 2000);
    ASSERT_EQ(r.entries.size(), 11u); // at sample 2000 and then every 100
    EXPECT_EQ(r.entries[0].index, 1999);
    EXPECT_EQ(r.entries[1].index, 2099);
    EXPECT_EQ(r.entries[0].text, "00:00:20.000 = 0.00");
    ASSERT_TRUE(computeStaLta(zeros, 100, 0, {"1", "20", "0.01"}, nullptr, r));
    EXPECT_TRUE(r.entries.empty());
    EXPECT_TRUE(r.maximumText.empty());
}

TEST(StaLta, FirstTriggerAtAKnownOnset) {
    // Noise (clipped to 3 sigma), then a 5 Hz sine of amplitude 100 from a known sample on,
    // starting at a phase where |x| is at least 50.
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0, 1);
    const double rate = 100;
    const double startMs = 12 * 3'600'000.0;
    for (int onset : {4321, 6000, 7777}) {
        std::vector<double> x(12000);
        for (int i = 0; i < static_cast<int>(x.size()); ++i)
            x[i] = i < onset ? std::clamp(noise(rng), -3.0, 3.0)
                             : 100 * std::cos(2 * 3.14159265 * 5 * (i - onset) / rate + 0.5);
        StaLtaResult r;
        ASSERT_TRUE(computeStaLta(x, rate, startMs, {"0.01", "20", "10"}, nullptr, r));
        ASSERT_FALSE(r.entries.empty());
        const StaLtaEntry& first = r.entries.front();
        EXPECT_NEAR(first.timeMs, startMs + (onset + 1) * 1000 / rate, 1000 / rate) << onset;
        // One-second STA blocks: the block holding the onset, or the next one, reaches 3.
        ASSERT_TRUE(computeStaLta(x, rate, startMs, {"1", "20", "3"}, nullptr, r));
        ASSERT_FALSE(r.entries.empty());
        EXPECT_GE(r.entries.front().index, onset);
        EXPECT_LE(r.entries.front().index, onset + 199);
        EXPECT_EQ(r.maximumText.substr(r.maximumText.find(" at ")),
                  " at " + timeOfDayText(r.entries[r.maxEntry].timeMs));
    }
}

TEST(StaLta, TimesAndListFile) {
    EXPECT_EQ(timeOfDayText(0), "00:00:00.000");
    EXPECT_EQ(timeOfDayText(86'400'000 + 3'723'004), "01:02:03.004"); // after midnight
    test::TempDir dir;
    StaLtaResult r;
    std::vector<double> x(400, 1.0);
    x[350] = 100;
    ASSERT_TRUE(computeStaLta(x, 10, 0, {"1", "20", "0"}, nullptr, r));
    RecordingMessages messages;
    ASSERT_TRUE(saveStaLtaFile(dir / "StaLta.txt", r, messages));
    std::ifstream in(dir / "StaLta.txt");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "STA Sample Number = 10  LTA Sample Number = 200");
    std::getline(in, line);
    EXPECT_EQ(line, "00:00:20.000 = 1.00");
    EXPECT_EQ(r.maximumText, "10.90 at 00:00:36.000");
    EXPECT_FALSE(saveStaLtaFile(dir / "no" / "x.txt", r, messages));
    EXPECT_TRUE(messages.contains("Can't Create STA/LTA File"));
}

TEST(Rms, ValuesAndTexts) {
    const std::vector<double> x = {12, 8, 14, 6, 10};
    const RmsValues v = measureRms(x, 10);
    EXPECT_DOUBLE_EQ(v.rms, std::sqrt((4 + 4 + 16 + 16 + 0) / 5.0));
    EXPECT_EQ(v.maximum, 4);
    EXPECT_EQ(v.minimum, -4);
    EXPECT_EQ(v.total, 8);
    EXPECT_EQ(v.mean, 0);
    EXPECT_EQ(v.points, 5);
    const RmsValues none = measureRms({}, 3);
    EXPECT_EQ(none.rms, 0);
    EXPECT_EQ(none.points, 0);

    RmsCalibration cal;
    cal.adVolts = 5, cal.adBits = 16, cal.ampGain = 10, cal.sensitivity = 1e-4, cal.sensorType = 2;
    EXPECT_EQ(rmsText(v, RmsUnits::AdCounts, cal),
              "RMS:  2.828\r\nMaximum:  4.000\r\nMinimum: -4.000\r\nTotal:  8.000\r\nMean:  0.000\r\nSample "
              "Points: 5");
    const std::string adVolts = rmsText(v, RmsUnits::AdVolts, cal);
    EXPECT_NE(adVolts.find("Maximum: 610.4 Microvolts\r\n"), std::string::npos) << adVolts;
    EXPECT_NE(rmsText(v, RmsUnits::AmpVolts, cal).find("Maximum: 61.04 Microvolts\r\n"), std::string::npos);
    // 4 counts × 1e-4 cm = 4e-6 m.
    EXPECT_NE(rmsText(v, RmsUnits::SensorUnits, cal).find("Maximum:    4 um/sec\n"), std::string::npos)
        << rmsText(v, RmsUnits::SensorUnits, cal);
    cal.sensorType = 1;
    EXPECT_NE(rmsText(v, RmsUnits::SensorUnits, cal).find("um/sec\u00B2\n"), std::string::npos);
    cal.adVolts = 0, cal.ampGain = 0;
    EXPECT_EQ(rmsText(v, RmsUnits::AmpVolts, cal).find("nan"), std::string::npos);
    // A tiny mean in counts shows as 0.
    EXPECT_NE(rmsText(measureRms(std::vector<double>{10.004, 10.0}, 10), RmsUnits::AdCounts, cal)
                  .find("Mean:  0.000"),
              std::string::npos);
}

} // namespace
} // namespace tlx
