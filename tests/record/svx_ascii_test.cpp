#include "core/text.h"
#include "format_fixtures.h"
#include "record/svx4_format.h"
#include "record/svx_ascii_reader.h"
#include "record/svx_ascii_writer.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

namespace tlx {
namespace {

using test::loadText;

std::string v2File(const std::string& header, int samples = 60, const std::string& newline = "\n") {
    std::string text = "! SVX ASCII Event File Format 2.0" + newline +
                       "Number of Samples: " + std::to_string(samples) + newline + "SPS: 20" + newline +
                       header + "Data:" + newline;
    for (int i = 0; i < samples; ++i)
        text += std::to_string(i - 10) + newline;
    return text;
}

std::string v1File(const std::string& header, int samples = 60) {
    std::string text = "! SVX ASCII Event File Format 1.0\nNumber of Samples: " + std::to_string(samples) +
                       "\nSPS: 20\n" + header + "Data:\n";
    for (int i = 0; i < samples; ++i)
        text += "1\n";
    return text;
}

TEST(SvxAsciiRead, StartTimeFractionDigits) {
    const struct {
        std::string file;
        std::int32_t nanoseconds;
    } cases[] = {
        {v2File("Start Time: 2020/01/02 03:04:05.5\n"), 500'000'000},
        {v2File("Start Time: 2020/01/02 03:04:05.05\n"), 50'000'000},
        {v2File("Start Time: 2020/01/02 03:04:05.1234\n"), 123'000'000},
        {v2File("Start Time: 2020/01/02 03:04:05\n"), 0},
        {v1File("Start Time: 2020/01/02 03:04:05.5\n"), 500'000'000},
    };
    for (const auto& c : cases) {
        RecordingMessages messages;
        const LoadResult r = loadText(c.file, messages);
        ASSERT_TRUE(r.ok) << c.file.substr(0, 120);
        const EventTime t = r.channels[0].record.header.startTime;
        EXPECT_EQ(formatIsoTime(t).substr(0, 19), "2020-01-02T03:04:05");
        EXPECT_EQ(+t.nanoseconds, c.nanoseconds) << c.file.substr(0, 120);
    }
}

TEST(SvxAsciiRead, Version2HeaderKeys) {
    const std::string header =
        "start time: 2021/06/07 08:09:10.250\n"
        "Sensor Location: first place\n"
        "Sensor Location: second place\n"
        "Sensor Type: velocity\n"
        "Sensor Orientation: N\n"
        "Component Name: BHNX\n"
        "Sensor ID: ABCDEFGH\n"
        "Lock Indicator: Locked\n"
        "Time Reference Type: GPS receiver\n"
        "# Comment: not read\n"
        "Comment:    \n"
        "Sensor Latitude: -33.5\n"
        "A/D Converter Bits: 24\n"
        "Data Minimum: 99\n"
        "Event Information: 2021/06/07,08:08:00.500,-30.5,150.25,33,0,0,0,420,0,0,,1,65,7,GA\n"
        "Event Information: 2021/06/07,08:08:00.500,-30.5\n"
        "Pick Information: 2021/06/07,08:09:20.125,Pn,2,512,note,15\n"
        "Pick Information: 2021/06/07,bad,P,0,0,,0\n";
    RecordingMessages messages;
    const LoadResult r = loadText(v2File(header), messages);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.subKind, SubKind::Text);
    const EventRecord& rec = r.channels[0].record;
    EXPECT_EQ(std::string(rec.header.magic, 8), "SVXTYPE4");
    EXPECT_EQ(formatIsoTime(rec.header.startTime), "2021-06-07T08:09:10.250Z");
    EXPECT_EQ(rec.info.sensorLocation, "second place");
    EXPECT_EQ(rec.info.priorLocation, "first place");
    EXPECT_EQ(+rec.header.sensorType, 2);
    EXPECT_EQ(rec.header.orientation, 'N');
    EXPECT_EQ(+rec.header.incident, kUnknownValue); // the letter alone leaves the angles
    EXPECT_EQ(rec.component(), "BHN");
    EXPECT_EQ(rec.stationName(), "ABCDEF");
    EXPECT_EQ(rec.header.lockIndicator, 'L');
    EXPECT_EQ(fieldText(rec.header.timeRefType, 3), "GPS");
    EXPECT_EQ(rec.info.comment, "");
    EXPECT_EQ(+rec.header.latitude, -33.5);
    EXPECT_EQ(+rec.header.adBits, 24);
    EXPECT_EQ(+rec.header.sampleType, 2);
    ASSERT_EQ(rec.info.events.size(), 1u);
    const EventEntry e = rec.info.events[0];
    EXPECT_EQ(formatIsoTime(e.originTime), "2021-06-07T08:08:00.500Z");
    EXPECT_EQ(+e.depth, 33.0);
    EXPECT_EQ(+e.magMl, 420);
    EXPECT_EQ(+e.eventType, 1);
    EXPECT_EQ(+e.quality, 65);
    EXPECT_EQ(+e.codeC, 7);
    EXPECT_EQ(fieldText(e.source, 6), "GA");
    ASSERT_EQ(rec.info.picks.size(), 1u);
    const PickEntry p = rec.info.picks[0];
    EXPECT_EQ(fieldText(p.phase, 8), "Pn");
    EXPECT_EQ(+p.pickFlags, 2);
    EXPECT_EQ(+p.weight, 512);
    EXPECT_EQ(fieldText(p.text, 16), "note");
    EXPECT_EQ(+p.value, 15);
    EXPECT_EQ(+p.time.nanoseconds, 125'000'000);
    EXPECT_EQ(r.channels[0].samples.front(), -10.0);
}

TEST(SvxAsciiRead, Version1EventMagnitudeAndLegacyPicks) {
    const std::string header = "Start Time: 2019/04/05 10:00:00.5\n"
                               "Sensor Orientation: e\n"
                               "Event Time: 2019/04/05 09:59:30.2\n"
                               "Event Latitude: 12.5\n"
                               "Event Magnitude: Ml 4.2\n"
                               "PS Pick Information: 125 200 1 1 0\n"
                               "Md Duration: 300.7\n";
    RecordingMessages messages;
    const LoadResult r = loadText(v1File(header), messages);
    ASSERT_TRUE(r.ok);
    const EventRecord& rec = r.channels[0].record;
    EXPECT_EQ(rec.header.orientation, 'E');
    EXPECT_EQ(+rec.header.incident, 90.0);
    EXPECT_EQ(+rec.header.azimuth, 90.0);
    ASSERT_EQ(rec.info.events.size(), 1u);
    EXPECT_EQ(+rec.info.events[0].magMl, 420);
    EXPECT_EQ(+rec.info.events[0].latitude, 12.5);
    EXPECT_EQ(formatIsoTime(rec.info.events[0].originTime), "2019-04-05T09:59:30.200Z");
    ASSERT_EQ(rec.info.picks.size(), 3u);
    const std::pair<const char*, const char*> expected[] = {{"P", "2019-04-05T10:00:13.000Z"},
                                                            {"S", "2019-04-05T10:00:20.500Z"},
                                                            {"Md", "2019-04-05T10:00:43.000Z"}};
    for (int i = 0; i < 3; ++i) {
        const PickEntry p = rec.info.picks[i];
        EXPECT_EQ(fieldText(p.phase, 8), expected[i].first);
        EXPECT_EQ(formatIsoTime(p.time), expected[i].second);
        EXPECT_EQ(+p.pickFlags, 0);
    }
    EXPECT_EQ(+rec.info.picks[0].weight, 4);
    EXPECT_EQ(+rec.info.picks[1].weight, 4);
}

TEST(SvxAsciiRead, LegacyPickFlagsWord) {
    EventRecord rec;
    rec.header.startTime = {2020, 1, 1, 0, 0, 0, 0, 0};
    addLegacyPicks(rec, 10, 0, 2, 0, static_cast<std::int16_t>(0xC000 | 150), 0);
    addLegacyPicks(rec, 10, 0, 2, 0, static_cast<std::int16_t>(0x8000 | 330), 0);
    ASSERT_EQ(rec.info.picks.size(), 2u); // no S pick: its offset is 0
    EXPECT_EQ(+rec.info.picks[0].pickFlags, 1);
    EXPECT_EQ(+rec.info.picks[0].value, 15);
    EXPECT_EQ(+rec.info.picks[1].pickFlags, 2);
    EXPECT_EQ(+rec.info.picks[1].value, 33);
}

TEST(SvxAsciiRead, BadInput) {
    std::string longLine = "Comment: " + std::string(400, 'x') + "\n";
    std::string noData = "! SVX ASCII Event File Format 2.0\nNumber of Samples: 60\nSPS: 20\n1\n2\n";
    const struct {
        const char* name;
        std::string file;
        bool ok;
        const char* message;
    } cases[] = {
        {"short data", v2File("Number of Samples: 80\n"), false,
         "Error Loading Data - End of File found to early"},
        {"no data keyword", noData, false, "Error Loading Data - No \"Data\" keyword found"},
        {"no rate", v2File("SPS: 0\n"), false, "Invalid sample rate in file mem.txt"},
        {"absurd count", v2File("Number of Samples: 2000000000\n"), false,
         "Error Loading Data - End of File found to early"},
        {"too few samples", v2File("", 50), false, "Invalid data count in file"},
        {"carriage returns", v2File("Comment: dos\r\n", 60, "\r\n"), true, nullptr},
        {"over-long line", v2File(longLine), true, nullptr},
        {"unparsable numbers", v2File("SPS: fast\nStart Time: 2020/13/01 00:00:00\n"), true, nullptr},
    };
    for (const auto& c : cases) {
        RecordingMessages messages;
        const LoadResult r = loadText(c.file, messages);
        EXPECT_EQ(r.ok, c.ok) << c.name;
        if (c.message) {
            EXPECT_TRUE(messages.contains(c.message))
                << c.name << ": " << testing::PrintToString(messages.texts());
        }
        if (!r.ok) {
            EXPECT_TRUE(r.channels.empty()) << c.name;
        }
        if (r.ok) {
            EXPECT_EQ(r.channels[0].samples.size(), 60u) << c.name;
            EXPECT_EQ(r.channels[0].samples[59], 49.0) << c.name;
            EXPECT_LE(r.channels[0].record.info.comment.size(), 255u);
        }
    }
}

TEST(SvxAsciiRead, UnparsableDataLineGivesZero) {
    std::string text = v2File("");
    text.replace(text.find("Data:\n-10\n"), 10, "Data:\nabc\n");
    RecordingMessages messages;
    const LoadResult r = loadText(text, messages);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.channels[0].samples[0], 0.0);
    EXPECT_EQ(r.channels[0].samples[1], -9.0);
}

EventRecord sampleRecord() {
    EventRecord rec;
    std::memcpy(rec.header.magic, "SVXTYPE4", 8);
    rec.header.startTime = {2024, 3, 1, 23, 59, 59, 0, 900'000'000};
    rec.header.sps = 100;
    return rec;
}

TEST(SvxAsciiWrite, MinimalRecordWritesTheSensorLines) {
    const EventRecord rec = sampleRecord();
    const std::vector<double> samples(100, 3.0);
    const std::string text = encodeSvxAscii({&rec, samples, 0}, {}, TimeColumn::None);
    for (const char* line :
         {"Sensor Latitude: 0\n", "Sensor Longitude: 0\n", "Sensor Elevation: -12345\n",
          "Sensor Incident: -12345\n", "Sensor Azimuth: -12345\n", "Start Time Offset: 0\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    for (const char* absent :
         {"Comment:", "Sensor ID:", "Lock Indicator:", "Sensor Type:", "Event Information:"})
        EXPECT_EQ(text.find(absent), std::string::npos) << absent;
}

TEST(SvxAsciiWrite, DecimationDcInvertAndTimeColumns) {
    const EventRecord rec = sampleRecord();
    std::vector<double> samples(100);
    for (int i = 0; i < 100; ++i)
        samples[i] = i;
    WriterOptions options;
    options.decimation = 3;
    options.invert = true;
    options.removeDc = true;
    options.autoDcOffset = false;
    const std::string plain = encodeSvxAscii({&rec, samples, 10.0}, options, TimeColumn::None);
    EXPECT_NE(plain.find("Number of Samples: 33\n"), std::string::npos);
    EXPECT_NE(plain.find("SPS: 33.3333\n"), std::string::npos);
    EXPECT_NE(plain.find("Data Mean: 49.5\n"), std::string::npos); // before DC removal
    EXPECT_NE(plain.find("Data Minimum: -87\n"), std::string::npos);
    EXPECT_NE(plain.find("Data:\n9\n6\n"), std::string::npos); // -(1 - 10), -(4 - 10)

    const std::string dated = encodeSvxAscii({&rec, samples, 0}, {}, TimeColumn::DateTime);
    EXPECT_NE(dated.find("Data:\n2024/03/01 23:59:59.900 0\n2024/03/01 23:59:59.910 1\n"), std::string::npos);
    EXPECT_NE(dated.find("2024/03/02 00:00:00.000 10\n"), std::string::npos);
    const std::string seconds = encodeSvxAscii({&rec, samples, 0}, {}, TimeColumn::Seconds);
    EXPECT_NE(seconds.find("Data:\n0.000 0\n0.010 1\n"), std::string::npos);

    // Files with a time column read back with their values.
    for (const std::string& text : {dated, seconds}) {
        RecordingMessages messages;
        const LoadResult r = loadText(text, messages);
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.channels[0].samples, samples);
    }
}

TEST(SvxAsciiWrite, RoundTripThroughSvx4KeepsRecord) {
    test::Svx4Spec spec;
    spec.samples = test::rampSignal(300, 4'000'000.0); // 24-bit counts need all their digits
    spec.blocks = {test::textBlock(1, "Cellar"),
                   test::textBlock(2, "L-4C"),
                   test::textBlock(3, "note"),
                   test::textBlock(7, "logger"),
                   test::eventBlock({2024, 3, 1, 11, 58, 0, 125'000'000}, 35.5, 139.25, 10, 450, 510, "JMA"),
                   test::pickBlock({2024, 3, 1, 12, 0, 9, 500'000'000}, "P", 1, 512, 15)};
    RecordingMessages messages;
    const LoadResult first = test::loadImage(test::buildSvx4(spec), messages, "a.svx");
    ASSERT_TRUE(first.ok);
    const EventRecord& a = first.channels[0].record;
    const std::string text = encodeSvxAscii({&a, first.channels[0].samples, 0}, {}, TimeColumn::None);
    const LoadResult second = loadText(text, messages);
    ASSERT_TRUE(second.ok);
    const EventRecord& b = second.channels[0].record;
    const std::vector<std::uint8_t> svx4 = encodeSvx4Channel({&b, second.channels[0].samples, 0}, {}, 1);
    const LoadResult third = test::loadImage(svx4, messages, "b.svx");
    ASSERT_TRUE(third.ok) << testing::PrintToString(messages.texts());
    const EventRecord& c = third.channels[0].record;

    EXPECT_EQ(third.channels[0].samples, first.channels[0].samples);
    EXPECT_EQ(formatIsoTime(c.header.startTime), formatIsoTime(a.header.startTime));
    const ChannelHeader& ha = a.header;
    const ChannelHeader& hc = c.header;
    const std::pair<double, double> numbers[] = {{+ha.sps, +hc.sps},
                                                 {+ha.latitude, +hc.latitude},
                                                 {+ha.longitude, +hc.longitude},
                                                 {+ha.elevation, +hc.elevation},
                                                 {+ha.incident, +hc.incident},
                                                 {+ha.azimuth, +hc.azimuth},
                                                 {+ha.sensitivity, +hc.sensitivity},
                                                 {+ha.magCorrection, +hc.magCorrection}};
    for (const auto& [want, got] : numbers)
        EXPECT_NEAR(got, want, std::fabs(want) * 1e-5);
    EXPECT_EQ(c.stationName(), a.stationName());
    EXPECT_EQ(c.component(), a.component());
    EXPECT_EQ(fieldText(c.header.network, 6), fieldText(a.header.network, 6));
    EXPECT_EQ(fieldText(c.header.timeRefType, 3), fieldText(a.header.timeRefType, 3));
    EXPECT_EQ(c.header.lockIndicator, a.header.lockIndicator);
    EXPECT_EQ(c.header.orientation, a.header.orientation);
    EXPECT_EQ(+c.header.sensorType, +a.header.sensorType);
    EXPECT_EQ(+c.header.adBits, +a.header.adBits);
    EXPECT_EQ(c.info.sensorLocation, "Cellar");
    EXPECT_EQ(c.info.sensorDescription, "L-4C");
    EXPECT_EQ(c.info.comment, "note");
    EXPECT_EQ(c.info.dataLogger, "logger");
    ASSERT_EQ(c.info.events.size(), 1u);
    ASSERT_EQ(c.info.picks.size(), 1u);
    EXPECT_EQ(std::memcmp(&c.info.events[0], &a.info.events[0], sizeof(EventEntry)), 0);
    EXPECT_EQ(std::memcmp(&c.info.picks[0], &a.info.picks[0], sizeof(PickEntry)), 0);
}

TEST(SvxAsciiWrite, FailedWriteLeavesNoFile) {
    test::TempDir dir;
    const EventRecord rec = sampleRecord();
    const std::vector<double> samples(100, 1.0);
    RecordingMessages messages;
    const auto target = dir / "missing" / "out.txt";
    EXPECT_FALSE(writeSvxAscii(target, {&rec, samples, 0}, {}, TimeColumn::None, messages));
    EXPECT_TRUE(messages.contains("Can't open file " + target.string() + " for write"));
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_TRUE(writeSvxAscii(dir / "out.txt", {&rec, samples, 0}, {}, TimeColumn::None, messages));
    EXPECT_EQ(test::readBytes(dir / "out.txt").size(),
              encodeSvxAscii({&rec, samples, 0}, {}, TimeColumn::None).size());
}

} // namespace
} // namespace tlx
