#include "core/byte_order.h"
#include "core/text.h"
#include "format_fixtures.h"
#include "record/svx3.h"
#include "record/svx3_writer.h"
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
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<std::int16_t>(static_cast<int>(i * 37 % 2000) - 1000);
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
        {"count in preamble",
         [] {
             Svx3Spec s;
             s.countInPreamble = true;
             s.samples.assign(500, 1);
             return s;
         }(),
         500, 50},
        {"across midnight",
         [] {
             Svx3Spec s;
             s.hour = 23;
             s.minute = 59;
             s.second = 50;
             s.endHour = 0;
             s.endMinute = 0;
             s.endSecond = 10;
             s.samples.assign(2000, 1);
             return s;
         }(),
         2000, 100},
        {"long record",
         [] {
             Svx3Spec s;
             s.endMinute = 50;
             s.endSecond = 0;
             s.samples.assign(70000, 2);
             return s;
         }(),
         70000, 70000.0 / 1200},
        {"band letter",
         [] {
             Svx3Spec s;
             s.endMinute = 40;
             s.endSecond = 0;
             s.samples.assign(1200, 3);
             return s;
         }(),
         1200, 2},
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

// Writes through the Type 3 writer and reads the file back through the loader.
struct Written {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    LoadResult loaded;
    int word(std::size_t offset) const { return readLE<std::int16_t>(bytes.data() + kSvx3Header + offset); }
};

Written writeAndLoad(const std::filesystem::path& path, const WriteChannel& channel,
                     const WriterOptions& options, const Svx3Options& svx3, RecordingMessages& messages) {
    Written w;
    w.ok = writeSvx3File(path, channel, options, svx3, messages);
    if (w.ok) {
        w.bytes = test::readBytes(path);
        w.loaded = test::loadImage(w.bytes, messages, path.string());
    }
    return w;
}

EventRecord recordAt(const EventTime& start, double sps) {
    EventRecord r;
    r.header.startTime = start;
    r.header.sps = sps;
    return r;
}

PickEntry pick(const EventTime& t, const char* phase, int weight = 0, int value = 0) {
    PickEntry p{};
    p.time = t;
    copyToField(p.phase, sizeof p.phase, phase);
    p.weight = static_cast<std::int16_t>(weight);
    p.value = static_cast<std::int16_t>(value);
    return p;
}

TEST(Svx3Write, RoundTripThroughTheReader) {
    // Start 23:59:55.4 + 0.35 s offset is written as 23:59:55.7; 10.5 s of samples end after midnight.
    EventRecord rec = recordAt({2003, 5, 12, 23, 59, 55, 0, 400'000'000}, 100);
    rec.header.startTimeOffset = 0.35;
    rec.header.latitude = -0.5;
    rec.header.longitude = -82.25;
    setOrientation(rec.header, 'E');
    rec.header.adBits = 24;
    rec.header.lockIndicator = 'L';
    rec.header.magCorrection = 0.3;
    rec.info.comment = "written as type three";
    rec.info.sensorLocation = "New place";
    rec.info.priorLocation = "Old cellar";
    EventEntry other{};
    other.magMs = 700;
    EventEntry e{};
    e.originTime = {2003, 5, 12, 23, 58, 30, 0, 200'000'000};
    e.latitude = 12.345;
    e.longitude = -100.5;
    e.depth = 33.36; // nearest tenth: 33.4
    e.magMb = 520;
    e.magMl = 540;
    rec.info.events = {other, e};
    rec.info.currentEvent = 1;
    const EventTime written = {2003, 5, 12, 23, 59, 55, 0, 700'000'000};
    rec.info.picks = {pick(addSeconds(written, 5.0), "P", 8, 33),
                      pick(addSeconds(written, 8.04), "s ", 12, 33), pick(addSeconds(written, 9.0), "Md")};
    std::vector<double> samples(1050, 1.0);
    const double ends[] = {2.5, -2.5, 40000, -40000, 7.49};
    std::copy(std::begin(ends), std::end(ends), samples.begin());

    test::TempDir dir;
    RecordingMessages messages;
    const Written w = writeAndLoad(dir / "ev.ohs", {&rec, samples, 0}, {}, {1, true}, messages);
    ASSERT_TRUE(w.ok) << testing::PrintToString(messages.texts());
    ASSERT_TRUE(w.loaded.ok) << testing::PrintToString(messages.texts());
    EXPECT_TRUE(messages.messages().empty()) << testing::PrintToString(messages.texts());
    EXPECT_EQ(w.bytes.size(), 207u + 2 * 1050);
    EXPECT_EQ(w.word(0), 3);
    const int end[] = {w.word(16), w.word(18), w.word(20), w.word(22)};
    EXPECT_EQ(std::vector<int>(std::begin(end), std::end(end)), (std::vector<int>{0, 0, 6, 2}));
    EXPECT_EQ(w.word(24), 1050 + 100);
    EXPECT_EQ(w.word(34), 0);
    EXPECT_EQ(w.word(36), -500);
    EXPECT_EQ(w.word(28), -32768);
    EXPECT_EQ(w.word(30), 32767);

    const EventRecord& r = w.loaded.channels[0].record;
    EXPECT_EQ(formatIsoTime(r.header.startTime), "2003-05-12T23:59:55.700Z");
    EXPECT_EQ(+r.header.sps, 105.0); // the reader divides by the whole seconds, 10
    EXPECT_EQ(+r.header.latitude, -0.5);
    EXPECT_EQ(+r.header.longitude, -82.25);
    EXPECT_EQ(r.component(), "BHE");
    EXPECT_EQ(r.stationName(), "OHS");
    EXPECT_EQ(+r.header.adBits, 24);
    EXPECT_EQ(r.header.lockIndicator, 'L');
    EXPECT_DOUBLE_EQ(+r.header.magCorrection, 0.3);
    EXPECT_EQ(r.info.comment, "written as type three");
    EXPECT_EQ(r.info.sensorLocation, "Old cellar");

    ASSERT_EQ(r.info.events.size(), 1u);
    const EventEntry& got = r.info.events[0];
    EXPECT_EQ(formatIsoTime(got.originTime), "2003-05-12T23:58:30.200Z");
    EXPECT_NEAR(+got.latitude, 12.345, 1e-9);
    EXPECT_EQ(+got.longitude, -100.5);
    EXPECT_DOUBLE_EQ(+got.depth, 33.4);
    EXPECT_EQ(+got.magMl, 540); // the largest magnitude of the current entry
    EXPECT_EQ(+got.magMb, 0);

    ASSERT_EQ(r.info.picks.size(), 3u);
    const char* times[] = {"2003-05-13T00:00:00.700Z", "2003-05-13T00:00:03.700Z",
                           "2003-05-13T00:00:04.700Z"};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(formatIsoTime(r.info.picks[i].time), times[i]) << i;
    EXPECT_EQ(+r.info.picks[0].weight, 8);
    EXPECT_EQ(+r.info.picks[1].weight, 12);
    EXPECT_EQ(+r.info.picks[0].pickFlags, 1); // regional tables
    EXPECT_EQ(+r.info.picks[1].value, 33);

    const std::vector<double>& s = w.loaded.channels[0].samples;
    ASSERT_EQ(s.size(), 1050u);
    EXPECT_EQ(std::vector<double>(s.begin(), s.begin() + 6),
              (std::vector<double>{3, -3, 32767, -32768, 7, 1}));
}

TEST(Svx3Write, SamplesAndMagnitudeCorrection) {
    std::vector<double> ramp(3000);
    for (int i = 0; i < 3000; ++i)
        ramp[i] = i;
    const struct {
        const char* name;
        int n, y;
        bool invert, removeDc;
        double correction;
        int words[4]; // 90, 92, 128, 130
        double readCorrection;
        std::size_t count;
        double first, last;
    } cases[] = {
        {"small correction", 1, 1, false, false, 0.05, {0, 500, 10, 5000}, 0.05, 3000, 0, 2999},
        // Y = 2 halves the samples (1499.5 rounds to 1500) and doubles the correction.
        {"Y = 2", 1, 2, false, false, 0.025, {0, 500, 10, 5000}, 0.05, 3000, 0, 1500},
        // Groups of 3, less DC 10, inverted, halved: -(1 - 10) / 2 and -(2998 - 10) / 2. 1000 values at
        // 33.3 per second span 299.99999... tenths in floating point: still 30 s.
        {"N = 3, DC, invert, Y = 2",
         3,
         2,
         true,
         true,
         -0.00615,
         {0, -123, 10, -1230},
         -0.0123,
         1000,
         5,
         -1494},
        {"whole part", 1, 1, false, false, 1.25, {1, 2500, 0, 0}, 1.25, 3000, 0, 2999},
        {"Y = 0 counts as 1", 1, 0, false, false, 0.05, {0, 500, 10, 5000}, 0.05, 3000, 0, 2999},
        {"none", 1, 1, false, false, 0, {0, 0, 0, 0}, 0, 3000, 0, 2999},
    };
    for (const auto& c : cases) {
        EventRecord rec = recordAt({2003, 5, 12, 14, 30, 0, 0, 0}, 100);
        rec.header.magCorrection = c.correction;
        WriterOptions options;
        options.decimation = c.n;
        options.invert = c.invert;
        options.removeDc = c.removeDc;
        options.autoDcOffset = false;
        test::TempDir dir;
        RecordingMessages messages;
        const Written w = writeAndLoad(dir / "ev.abc", {&rec, ramp, 10}, options, {c.y, false}, messages);
        ASSERT_TRUE(w.ok && w.loaded.ok) << c.name << testing::PrintToString(messages.texts());
        const int words[] = {w.word(90), w.word(92), w.word(128), w.word(130)};
        EXPECT_TRUE(std::equal(std::begin(words), std::end(words), std::begin(c.words))) << c.name;
        const EventRecord& r = w.loaded.channels[0].record;
        EXPECT_NEAR(+r.header.magCorrection, c.readCorrection, 1e-12) << c.name;
        EXPECT_DOUBLE_EQ(+r.header.sps, 100.0 / c.n) << c.name;
        EXPECT_EQ(w.word(42), -1) << c.name << ": no event";
        const std::vector<double>& s = w.loaded.channels[0].samples;
        ASSERT_EQ(s.size(), c.count) << c.name;
        EXPECT_EQ(s.front(), c.first) << c.name;
        EXPECT_EQ(s.back(), c.last) << c.name;
    }
}

TEST(Svx3Write, PicksCountsAndRefusals) {
    const EventTime start = {2003, 5, 12, 14, 30, 0, 0, 0};
    const double none = std::nan("");
    const struct {
        const char* name;
        std::size_t count;
        double p, s; // pick offsets in seconds; NaN: no such pick
        bool ok;
        const char* message; // followed by the path when it ends in "file "
        std::size_t picksRead;
    } cases[] = {
        {"P pick 6,600 s after the start", 1000, 6600, 6605, true, "P Pick Time Out Of Range", 0},
        {"S pick before the start", 1000, 1, -1, true, "S Pick Time Out Of Range", 0},
        {"last tenth in range", 1000, 6549.9, 6549.9, true, nullptr, 2},
        {"a P pick alone is not written", 1000, 1, none, true, nullptr, 0},
        {"count in the preamble", 70000, none, none, true, nullptr, 0},
        {"50 samples would not read back", 50, none, none, false, "Can't write 50 samples to file ", 0},
        {"shorter than a second", 99, none, none, false,
         "Start time or length of the record can't be stored in file ", 0},
    };
    for (const auto& c : cases) {
        EventRecord rec = recordAt(start, 100);
        if (!std::isnan(c.p)) rec.addPick(pick(addSeconds(start, c.p), "P"));
        if (!std::isnan(c.s)) rec.addPick(pick(addSeconds(start, c.s), "S"));
        const std::vector<double> samples(c.count, 5.0);
        test::TempDir dir;
        RecordingMessages messages;
        const Written w = writeAndLoad(dir / "ev.abc", {&rec, samples, 0}, {}, {}, messages);
        EXPECT_EQ(w.ok, c.ok) << c.name;
        EXPECT_EQ(std::filesystem::exists(dir / "ev.abc"), c.ok) << c.name;
        if (c.message) {
            const std::string text = std::string(c.message).ends_with("file ")
                                         ? c.message + (dir / "ev.abc").string()
                                         : std::string(c.message);
            EXPECT_TRUE(messages.contains(text)) << c.name << testing::PrintToString(messages.texts());
        } else {
            EXPECT_TRUE(messages.messages().empty()) << c.name << testing::PrintToString(messages.texts());
        }
        if (!c.ok) continue;
        ASSERT_TRUE(w.loaded.ok) << c.name;
        EXPECT_EQ(w.loaded.commonCount, static_cast<int>(c.count)) << c.name;
        EXPECT_EQ(w.loaded.channels[0].record.info.picks.size(), c.picksRead) << c.name;
        const bool big = c.count > 65000;
        EXPECT_EQ(static_cast<std::size_t>(static_cast<std::uint16_t>(w.word(24))),
                  big ? 0xFFFF : c.count + 100)
            << c.name;
        EXPECT_EQ(readLE<std::int32_t>(w.bytes.data() + 1), static_cast<std::int32_t>(c.count)) << c.name;
    }
}

} // namespace
} // namespace tlx
