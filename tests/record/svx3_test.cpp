#include "core/text.h"
#include "format_fixtures.h"
#include "record/svx3.h"
#include "record/svx4_writer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace tlx {
namespace {

using test::buildSvx3;
using test::kSvx3Header;
using test::put16;
using test::Svx3Spec;

std::vector<std::int16_t> ramp(std::size_t n) {
    std::vector<std::int16_t> s(n);
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<std::int16_t>(static_cast<int>(i * 37 % 2000) - 1000);
    return s;
}

TEST(Svx3Read, HeaderConversion) {
    Svx3Spec spec;
    spec.samples = ramp(1000);
    spec.tenths = 5;
    spec.endTenths = 5;
    spec.latDeg = -33;
    spec.latThou = 250; // the reader gives the thousandths the sign of the degrees
    spec.orientation = 'N';
    std::vector<std::uint8_t> bytes = buildSvx3(spec);
    put16(bytes, kSvx3Header + 124, 'L');
    put16(bytes, kSvx3Header + 90, 0);
    put16(bytes, kSvx3Header + 92, 500);
    put16(bytes, kSvx3Header + 128, 10);
    put16(bytes, kSvx3Header + 130, 5000);
    RecordingMessages messages;
    const LoadResult r = test::loadImage(bytes, messages, "/data/03051214.ohs.SVX");
    ASSERT_TRUE(r.ok) << testing::PrintToString(messages.texts());
    EXPECT_EQ(r.kind, kKindSvx4);
    EXPECT_EQ(r.subKind, SubKind::Type3);
    const EventRecord& rec = r.channels[0].record;
    EXPECT_EQ(formatIsoTime(rec.header.startTime), "2003-05-12T14:30:00.500Z");
    EXPECT_EQ(+rec.header.sps, 100.0);
    EXPECT_EQ(rec.stationName(), "OHS");
    EXPECT_EQ(rec.component(), "BHN");
    EXPECT_EQ(+rec.header.incident, 90.0);
    EXPECT_DOUBLE_EQ(+rec.header.latitude, -33.25);
    EXPECT_DOUBLE_EQ(+rec.header.longitude, -82.25);
    EXPECT_DOUBLE_EQ(+rec.header.magCorrection, 0.05);
    EXPECT_EQ(rec.header.lockIndicator, 'L');
    EXPECT_EQ(+rec.header.adBits, 16);
    EXPECT_EQ(rec.info.sensorLocation, "Columbus");
    EXPECT_EQ(rec.info.comment, "type three");
    EXPECT_TRUE(rec.info.events.empty());
    EXPECT_TRUE(rec.info.picks.empty()); // zero pick words are no picks
    std::vector<double> want(spec.samples.begin(), spec.samples.end());
    EXPECT_EQ(r.channels[0].samples, want);
}

TEST(Svx3Read, CountsRatesAndVersions) {
    const struct {
        const char* name;
        Svx3Spec spec;
        int count;
        double sps;
    } cases[] = {
        {"count in preamble", [] { Svx3Spec s; s.countInPreamble = true; s.samples.assign(500, 1); return s; }(), 500, 50},
        {"across midnight", [] { Svx3Spec s; s.hour = 23; s.minute = 59; s.second = 50; s.endHour = 0; s.endMinute = 0;
                                 s.endSecond = 10; s.samples.assign(2000, 1); return s; }(), 2000, 100},
        {"long record", [] { Svx3Spec s; s.endMinute = 50; s.endSecond = 0; s.samples.assign(70000, 2); return s; }(), 70000, 70000.0 / 1200},
        {"band letter", [] { Svx3Spec s; s.endMinute = 40; s.endSecond = 0; s.samples.assign(1200, 3); return s; }(), 1200, 2},
    };
    for (const auto& c : cases) {
        RecordingMessages messages;
        const LoadResult r = test::loadImage(buildSvx3(c.spec), messages, "x.abc");
        ASSERT_TRUE(r.ok) << c.name;
        EXPECT_EQ(r.commonCount, c.count) << c.name;
        EXPECT_DOUBLE_EQ(+r.channels[0].record.header.sps, c.sps) << c.name;
    }
    Svx3Spec slow;
    slow.endMinute = 40;
    slow.endSecond = 0;
    slow.samples.assign(1200, 3);
    RecordingMessages messages;
    EXPECT_EQ(test::loadImage(buildSvx3(slow), messages, "x.abc").channels[0].record.component(), "LHZ");

    Svx3Spec v2;
    v2.version = 2;
    v2.comment = "old comment";
    const LoadResult r = test::loadImage(buildSvx3(v2), messages, "x.abc");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.channels[0].record.info.comment, "old comment");
}

TEST(Svx3Read, BadInput) {
    Svx3Spec noLength; // end time equal to the start: no rate
    noLength.endSecond = 0;
    Svx3Spec dc;
    dc.dcOffset = -10;
    dc.samples.assign(100, 32767);
    std::vector<std::uint8_t> truncated = buildSvx3(Svx3Spec{});
    truncated.resize(truncated.size() - 3);
    std::vector<std::uint8_t> badMonth = buildSvx3(Svx3Spec{});
    put16(badMonth, kSvx3Header + 4, 13);
    std::vector<std::uint8_t> hugeCount = buildSvx3(Svx3Spec{});
    put16(hugeCount, kSvx3Header + 24, 0xFFFF);
    test::put32(hugeCount, 1, 0x7FFFFFFF);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
        bool ok;
        const char* message;
    } cases[] = {
        {"no record length", buildSvx3(noLength), false, "Invalid sample rate in file x.abc"},
        {"truncated samples", truncated, false, "File x.abc ends before its last sample"},
        {"bad month is not Type 3", badMonth, false, "Unknown file type x.abc"},
        {"absurd preamble count", hugeCount, false, "Unknown file type x.abc"},
        {"dc offset leaves int16", buildSvx3(dc), true, nullptr},
    };
    for (const auto& c : cases) {
        RecordingMessages messages;
        const LoadResult r = test::loadImage(c.bytes, messages, "x.abc");
        EXPECT_EQ(r.ok, c.ok) << c.name;
        if (c.message) {
            EXPECT_TRUE(messages.contains(c.message)) << c.name << testing::PrintToString(messages.texts());
        }
        if (c.ok) {
            EXPECT_EQ(r.channels[0].samples[0], 32777.0);
        }
    }
}

TEST(Svx3Read, EventAndPicks) {
    Svx3Spec spec;
    spec.hour = 0;
    spec.minute = 0;
    spec.endHour = 0;
    spec.endMinute = 0;
    std::vector<std::uint8_t> b = buildSvx3(spec);
    const std::size_t h = kSvx3Header;
    put16(b, h + 42, 0);
    put16(b, h + 44, 58);
    put16(b, h + 46, 30);
    put16(b, h + 48, 2);
    b[h + 94] = 'U';
    b[h + 95] = 23; // the previous day, as the record starts at hour 0
    test::putText(b, h + 100, "Mb");
    put16(b, h + 104, 52);
    put16(b, h + 106, 125);
    put16(b, h + 108, 0);
    put16(b, h + 110, -500);
    put16(b, h + 116, 50);
    put16(b, h + 118, 80);
    b[h + 120] = 2;
    b[h + 121] = 3;
    put16(b, h + 122, 0x8000 | 0x4000 | 330);
    put16(b, h + 126, 40);
    RecordingMessages messages;
    const LoadResult r = test::loadImage(b, messages, "x.abc");
    ASSERT_TRUE(r.ok);
    const EventRecord& rec = r.channels[0].record;
    ASSERT_EQ(rec.info.events.size(), 1u);
    const EventEntry e = rec.info.events[0];
    EXPECT_EQ(formatIsoTime(e.originTime), "2003-05-11T23:58:30.200Z");
    EXPECT_EQ(+e.magMb, 520);
    EXPECT_EQ(+e.depth, 12.5);
    EXPECT_EQ(+e.latitude, -0.5);
    ASSERT_EQ(rec.info.picks.size(), 3u);
    EXPECT_EQ(formatIsoTime(rec.info.picks[0].time), "2003-05-12T00:00:05.000Z");
    EXPECT_EQ(formatIsoTime(rec.info.picks[1].time), "2003-05-12T00:00:08.000Z");
    EXPECT_EQ(formatIsoTime(rec.info.picks[2].time), "2003-05-12T00:00:09.000Z");
    EXPECT_EQ(+rec.info.picks[0].weight, 8);
    EXPECT_EQ(+rec.info.picks[1].weight, 12);
    EXPECT_EQ(+rec.info.picks[0].pickFlags, 1);
    EXPECT_EQ(+rec.info.picks[0].value, 33);
}

TEST(Svx3Angles, EncodeDecode) {
    const double values[] = {-0.5, 47.25, -122.999, 0.0004, -33.9996, 179.9999};
    for (double v : values) {
        std::int16_t deg, thou;
        encodeSvx3Angle(v, deg, thou);
        EXPECT_NEAR(decodeSvx3Angle(deg, thou), v, 0.0005) << v;
        EXPECT_LT(std::abs(int{thou}), 1000) << v;
    }
    std::int16_t deg, thou;
    encodeSvx3Angle(-0.5, deg, thou);
    EXPECT_EQ(deg, 0);
    EXPECT_EQ(thou, -500);
}

TEST(Svx3Read, SensorDefaultsByExtension) {
    test::TempDir dir;
    std::ofstream(dir / "SENSOR.DAT") << "ID=OHS\nLATITUDE=39.5\nCOMPNAME=SHZ\n";
    LoaderSettings settings;
    settings.localDirectory = dir.path();
    RecordingMessages messages;
    const LoadResult r = test::loadImage(buildSvx3(Svx3Spec{}), messages, "030512.143000.ohs.svx", settings);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(+r.channels[0].record.header.latitude, 39.5);
    EXPECT_EQ(r.channels[0].record.component(), "SHZ");
}

TEST(Svx3Convert, ToSvx4KeepsSamplesExactly) {
    test::TempDir dir;
    const struct {
        int dc;
        int type;
    } cases[] = {{0, 0}, {-100, 1}};
    for (const auto& c : cases) {
        Svx3Spec spec;
        spec.samples = ramp(1000);
        spec.samples[3] = 32767;
        spec.dcOffset = c.dc;
        test::writeBytes(dir / "EV.ABC", buildSvx3(spec));
        RecordingMessages messages;
        ASSERT_TRUE(convertSvx3ToSvx4(dir / "EV.ABC", dir / "ev.svx", true, {}, messages));
        EXPECT_FALSE(std::filesystem::exists(dir / "EV.ABC"));
        const LoadResult r = test::loadImage(test::readBytes(dir / "ev.svx"), messages, "ev.svx");
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(r.subKind, SubKind::Binary);
        EXPECT_EQ(+r.channels[0].record.header.sampleType, c.type);
        for (std::size_t i = 0; i < spec.samples.size(); ++i)
            ASSERT_EQ(r.channels[0].samples[i], spec.samples[i] - c.dc) << i;
        EXPECT_EQ(r.channels[0].record.stationName(), "ABC");
        EXPECT_TRUE(messages.messages().empty());
    }
}

TEST(Svx3Rename, LongForm) {
    test::TempDir dir;
    Svx3Spec spec;
    spec.year = 1999;
    test::writeBytes(dir / "99051214.OHS", buildSvx3(spec));
    std::filesystem::path renamed;
    ASSERT_TRUE(renameSvx3ToLongForm(dir / "99051214.OHS", renamed));
    EXPECT_EQ(renamed, dir / "990512.143000.ohs.svx");
    EXPECT_TRUE(std::filesystem::exists(renamed));
    test::writeBytes(dir / "other.OHS", buildSvx3(spec)); // same start: the name is taken
    EXPECT_FALSE(renameSvx3ToLongForm(dir / "other.OHS", renamed));
    EXPECT_TRUE(std::filesystem::exists(dir / "other.OHS"));
    test::writeBytes(dir / "junk.OHS", {1, 2, 3});
    EXPECT_FALSE(renameSvx3ToLongForm(dir / "junk.OHS", renamed));
}

TEST(Svx3Attach, StoresTheReportInTheHeader) {
    test::TempDir dir;
    Svx3Spec spec;
    spec.samples = ramp(600);
    const std::vector<std::uint8_t> original = buildSvx3(spec);
    test::writeBytes(dir / "ev.ohs", original);
    RecordingMessages messages;
    const auto addReport = [](EventRecord& rec) {
        EventEntry e{};
        e.originTime = {2003, 5, 12, 14, 29, 40, 0, 300'000'000};
        e.latitude = -12.345;
        e.longitude = 100.5;
        e.depth = 33.3;
        e.magMb = 540;
        e.magMl = 540;
        rec.addEvent(e);
    };
    ASSERT_TRUE(attachEventToFile(dir / "ev.ohs", addReport, {}, messages));
    const std::vector<std::uint8_t> updated = test::readBytes(dir / "ev.ohs");
    ASSERT_EQ(updated.size(), original.size());
    EXPECT_TRUE(std::equal(original.begin() + 207, original.end(), updated.begin() + 207));
    const LoadResult r = test::loadImage(updated, messages, "ev.ohs");
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.channels[0].record.info.events.size(), 1u);
    const EventEntry e = r.channels[0].record.info.events[0];
    EXPECT_EQ(formatIsoTime(e.originTime), "2003-05-12T14:29:40.300Z");
    EXPECT_NEAR(+e.latitude, -12.345, 1e-9);
    EXPECT_EQ(+e.depth, 33.3);
    EXPECT_EQ(+e.magMb, 540); // Mb wins over an equal Ml
    EXPECT_EQ(+e.magMl, 0);
}

} // namespace
} // namespace tlx
