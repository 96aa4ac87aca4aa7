#include "core/text.h"
#include "format_fixtures.h"
#include "record/pepp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tlx {
namespace {

using test::PeppSpec;

std::vector<float> ramp(std::size_t n, float offset) {
    std::vector<float> s(n);
    for (std::size_t i = 0; i < n; ++i)
        s[i] = offset + static_cast<float>(i) * 0.5f;
    return s;
}

TEST(PeppRead, SingleTraceFields) {
    PeppSpec spec;
    spec.samples = ramp(300, -20);
    spec.eventYear = 2010;
    RecordingMessages messages;
    const LoadResult r = test::loadImage(test::buildPeppSingle(spec), messages);
    ASSERT_TRUE(r.ok) << testing::PrintToString(messages.texts());
    EXPECT_EQ(r.kind, kKindPepp);
    const EventRecord& rec = r.channels[0].record;
    EXPECT_EQ(formatIsoTime(rec.header.startTime), "2010-06-15T08:20:30.250Z");
    EXPECT_EQ(+rec.header.sps, 50.0);
    EXPECT_EQ(rec.stationName(), "ABC");
    EXPECT_EQ(rec.info.sensorLocation, "ABC"); // the station code when the location is empty
    EXPECT_EQ(rec.info.sensorDescription, "SP sensor");
    EXPECT_EQ(rec.component(), "SHZ");
    EXPECT_EQ(fieldText(rec.header.network, 6), "PP");
    EXPECT_EQ(+rec.header.sensorType, 2);
    EXPECT_DOUBLE_EQ(+rec.header.sensitivity, 1.0 / 200.0);
    EXPECT_DOUBLE_EQ(+rec.header.magCorrection, 0.2 / (2 * std::numbers::pi * 2.0));
    EXPECT_EQ(+rec.header.elevation, 500.0);
    ASSERT_EQ(rec.info.events.size(), 1u);
    EXPECT_EQ(formatIsoTime(rec.info.events[0].originTime), "2010-06-15T08:15:12.500Z");
    EXPECT_EQ(+rec.info.events[0].magMl, 340);
    std::vector<double> want(spec.samples.begin(), spec.samples.end());
    EXPECT_EQ(r.channels[0].samples, want);
}

TEST(PeppRead, MultiTraceAndForcedIndex) {
    PeppSpec a, b;
    a.samples = ramp(100, 0);
    b.samples = ramp(150, 1000);
    b.station = "DEF";
    const std::vector<std::uint8_t> good = test::buildPeppMulti({a, b});
    const std::vector<std::uint8_t> badMarker = test::buildPeppMulti({a, b}, 0x12345678);
    const struct {
        const char* name;
        const std::vector<std::uint8_t>& bytes;
        int forced, index;
        bool ok;
        const char* station;
    } cases[] = {
        {"recognised first trace", good, kForceNone, 0, true, "ABC"},
        {"forced trace 0", good, kForcePepp, 0, true, "ABC"},
        {"forced trace 1", good, kForcePepp, 1, true, "DEF"},
        {"forced trace 2 missing", good, kForcePepp, 2, false, nullptr},
        {"bad separator", badMarker, kForcePepp, 1, false, nullptr},
        {"bad separator, first trace", badMarker, kForcePepp, 0, true, "ABC"},
    };
    for (const auto& c : cases) {
        RecordingMessages messages;
        const LoadResult r = test::loadImage(c.bytes, messages, "m.pep", {}, c.forced, c.index);
        ASSERT_EQ(r.ok, c.ok) << c.name;
        if (!c.ok) {
            EXPECT_TRUE(messages.contains("Error loading PEPP file")) << c.name;
            continue;
        }
        EXPECT_EQ(r.channels[0].record.stationName(), c.station) << c.name;
        EXPECT_EQ(r.channels[0].samples.front(), c.index == 1 ? 1000.0 : 0.0) << c.name;
    }
}

TEST(PeppRead, BadInput) {
    PeppSpec undefinedSensitivity;
    undefinedSensitivity.sensitivity = -12345.0f;
    PeppSpec zeroRate;
    zeroRate.sps = 0;
    PeppSpec overlong;
    overlong.countOverride = 5000;
    PeppSpec nanSample;
    nanSample.samples[7] = std::nanf("");
    RecordingMessages messages;
    const LoadResult undefinedResult = test::loadImage(test::buildPeppSingle(undefinedSensitivity), messages);
    ASSERT_TRUE(undefinedResult.ok);
    EXPECT_EQ(+undefinedResult.channels[0].record.header.sensorType, 0);
    EXPECT_EQ(+undefinedResult.channels[0].record.header.sensitivity, 0.0);

    EXPECT_FALSE(test::loadImage(test::buildPeppSingle(zeroRate), messages).ok);
    EXPECT_TRUE(messages.contains("Unknown file type mem.dat"));
    messages.clear();
    EXPECT_FALSE(test::loadImage(test::buildPeppSingle(overlong), messages).ok);
    EXPECT_TRUE(messages.contains("File mem.dat ends before its last sample"));
    const LoadResult nan = test::loadImage(test::buildPeppSingle(nanSample), messages);
    ASSERT_TRUE(nan.ok);
    EXPECT_EQ(nan.channels[0].samples[7], 0.0);
    EXPECT_TRUE(std::isfinite(+nan.channels[0].record.header.dataMean));
}

std::string ahFile(const std::string& station, const std::string& record, int samples,
                   const std::string& tail = "") {
    std::string text =
        "station information\ncode: " + station +
        "\nchannel: bhn\ntype: l4c\nlatitude: 37.5 S\nlongitude: 82.25w\nelevation: 250\ngain: 4\n"
        "event  information\nlatitude: 1\nlongitude: 2\ndepth: 3\norigin_time: 2003 5 12 14 0 0\n"
        "record  information\nndata: " +
        std::to_string(samples) + "\ndelta: 0.02\nstart_time: 2003 5 12 14 30 12.75\n" + record + "data:\n";
    for (int i = 0; i < samples; ++i)
        text += std::to_string(i * 3 - 50) + "\n";
    return text + tail;
}

TEST(AhRead, Fields) {
    RecordingMessages messages;
    const LoadResult r =
        test::loadText(ahFile("osu", "log: recorder TimeLock 1\ncomment: ohiose\n", 120, "99\n"), messages);
    ASSERT_TRUE(r.ok) << testing::PrintToString(messages.texts());
    EXPECT_EQ(r.kind, kKindAh);
    const EventRecord& rec = r.channels[0].record;
    EXPECT_EQ(formatIsoTime(rec.header.startTime), "2003-05-12T14:30:12.000Z");
    EXPECT_EQ(+rec.header.sps, 50.0);
    EXPECT_EQ(+rec.header.latitude, -37.5);
    EXPECT_EQ(+rec.header.longitude, -82.25);
    EXPECT_EQ(+rec.header.elevation, 250.0);
    EXPECT_EQ(rec.stationName(), "OSU");
    EXPECT_EQ(rec.component(), "BHN");
    EXPECT_EQ(+rec.header.incident, 90.0);
    EXPECT_EQ(+rec.header.azimuth, 0.0);
    EXPECT_EQ(rec.info.sensorDescription, "L4C");
    EXPECT_EQ(rec.header.lockIndicator, 'L');
    EXPECT_EQ(+rec.header.sensitivity, 25.0); // from "gain:", kept for the Ohio network
    EXPECT_EQ(+rec.header.adBits, 16);
    EXPECT_EQ(+rec.header.sensorType, 2);
    EXPECT_EQ(rec.info.sensorOutput, 150.0);
    EXPECT_EQ(rec.info.ampGain, 1.0);
    EXPECT_EQ(rec.info.adVolts, 5.0);
    EXPECT_EQ(rec.info.comment, "OSU Ohio Seismic Network Event File");
    EXPECT_TRUE(rec.info.events.empty());
    ASSERT_EQ(r.channels[0].samples.size(), 120u); // at most "ndata:" samples
    EXPECT_EQ(r.channels[0].samples.back(), 119 * 3 - 50.0);
}

TEST(AhRead, BadInput) {
    const struct {
        const char* name;
        std::string text;
        bool ok;
        const char* message;
    } cases[] = {
        {"other network", ahFile("abc", "comment: xx\nlog: TimeLock 0\n", 60), true, nullptr},
        {"fewer samples than ndata", ahFile("abc", "", 60).substr(0, ahFile("abc", "", 60).size() - 20),
         false, "Error Loading File"},
        {"no data line", "station information\ncode: abc\nrecord  information\ndelta: 0.1\nndata: 60\n",
         false, "Error Loading File"},
        {"zero delta",
         ahFile("abc", "", 60).replace(ahFile("abc", "", 60).find("delta: 0.02"), 11, "delta: 0"), false,
         "Error Loading File"},
        {"code not directly after", "station information\n\ncode: abc\nndata: 60\ndata:\n", false,
         "Unknown file type mem.txt"},
        {"junk sample", ahFile("abc", "", 60).replace(ahFile("abc", "", 60).rfind("\n-50\n") + 1, 3, "x1"),
         false, "Error Loading File"},
    };
    for (const auto& c : cases) {
        RecordingMessages messages;
        const LoadResult r = test::loadText(c.text, messages);
        EXPECT_EQ(r.ok, c.ok) << c.name << testing::PrintToString(messages.texts());
        if (c.message) {
            EXPECT_TRUE(messages.contains(c.message)) << c.name << testing::PrintToString(messages.texts());
        }
        if (c.ok) {
            EXPECT_EQ(r.channels[0].record.info.comment, "ABC");
            EXPECT_EQ(r.channels[0].record.header.lockIndicator, 0);
        }
    }
}

} // namespace
} // namespace tlx
