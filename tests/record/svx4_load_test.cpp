#include "core/text.h"
#include "record/loader.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace tlx {
namespace {

using test::Svx4Spec;

LoadResult loadSpec(const std::vector<std::uint8_t>& bytes, RecordingMessages& messages,
                    LoadMode mode = LoadMode::Interactive) {
    EventLoader loader(messages);
    LoadRequest request;
    request.mode = mode;
    return loader.loadBytes(bytes, "mem.svx", request);
}

Svx4Spec specWith(std::size_t count, std::uint8_t type = 1) {
    Svx4Spec s;
    s.samples = test::rampSignal(count);
    s.sampleType = type;
    return s;
}

TEST(Svx4Load, HeaderFieldsSamplesAndStatistics) {
    Svx4Spec s = specWith(500, 0);
    s.sensorId = "ABCDEF";
    s.blocks = {test::textBlock(1, "Cellar"),
                test::textBlock(3, "a comment"),
                test::eventBlock({2024, 2, 29, 23, 59, 0, 0}, 35.5, 139.25, 10, 450),
                test::pickBlock({2024, 3, 1, 12, 0, 9, 0}, "P", 1, 512, 15),
                test::historyBlock({"Low-Pass Filter", "Integrate"}),
                test::textBlock(7, "PSN-ADC24")};
    RecordingMessages messages;
    const LoadResult r = loadSpec(test::buildSvx4(s), messages);
    ASSERT_TRUE(r.ok) << ::testing::PrintToString(messages.texts());
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(r.kind, kKindSvx4);
    EXPECT_EQ(r.subKind, SubKind::Binary);
    ASSERT_EQ(r.channels.size(), 1u);
    const EventRecord& rec = r.channels[0].record;
    EXPECT_EQ(rec.stationName(), "ABCDEF");
    EXPECT_EQ(rec.component(), "BHZ");
    EXPECT_EQ(+rec.header.sps, 100.0);
    EXPECT_EQ(formatIsoTime(rec.header.startTime), "2024-03-01T12:00:05.250Z");
    EXPECT_EQ(rec.info.sensorLocation, "Cellar");
    EXPECT_EQ(rec.info.comment, "a comment");
    EXPECT_EQ(rec.info.dataLogger, "PSN-ADC24");
    ASSERT_EQ(rec.info.events.size(), 1u);
    EXPECT_EQ(+rec.info.events[0].magMl, 450);
    EXPECT_EQ(+rec.info.events[0].codeC, 0xBEEF);
    ASSERT_EQ(rec.info.picks.size(), 1u);
    EXPECT_EQ(fieldText(rec.info.picks[0].phase, 8), "P");
    EXPECT_EQ(rec.info.history, (std::vector<std::string>{"Low-Pass Filter", "Integrate"}));
    EXPECT_EQ(r.channels[0].samples, s.samples);
    const auto [lo, hi] = std::minmax_element(s.samples.begin(), s.samples.end());
    EXPECT_EQ(+rec.header.dataMin, *lo);
    EXPECT_EQ(+rec.header.dataMax, *hi);
}

TEST(Svx4Load, EverySampleTypeDecodes) {
    struct Case {
        const char* name;
        std::uint8_t type;
        std::vector<double> samples;
    };
    std::vector<double> wide = test::rampSignal(60, 2.0e9);
    std::vector<double> fine(60);
    for (std::size_t i = 0; i < fine.size(); ++i)
        fine[i] = 0.1 * static_cast<double>(i) - 3.3;
    const Case cases[] = {
        {"int16 extremes", 0,
         [] {
             auto v = test::rampSignal(60, 32767);
             v[3] = -32768;
             return v;
         }()},
        {"int32 wide", 1, wide},
        {"float32 exact halves", 2, test::rampSignal(60, 100.5)},
        {"float64 fractions", 3, fine},
        {"unknown code 9 reads as float64", 9, fine},
    };
    for (const auto& c : cases) {
        Svx4Spec s;
        s.samples = c.samples;
        s.sampleType = c.type;
        RecordingMessages messages;
        const LoadResult r = loadSpec(test::buildSvx4(s), messages);
        ASSERT_TRUE(r.ok) << c.name;
        for (std::size_t i = 0; i < c.samples.size(); ++i) {
            const double expected = c.type == 2   ? static_cast<float>(c.samples[i])
                                    : c.type == 0 ? static_cast<std::int16_t>(c.samples[i])
                                                  : c.samples[i];
            ASSERT_EQ(r.channels[0].samples[i], expected) << c.name << " sample " << i;
        }
    }
}

TEST(Svx4Load, SampleCountLimits) {
    struct Case {
        const char* name;
        std::int32_t claimed;
        std::size_t present;
        bool ok;
        const char* message;
        int kind;
    };
    const Case cases[] = {
        {"50 recognised, then rejected", 50, 50, false, "Invalid data count in file", kKindSvx4},
        {"51 loads", 51, 51, true, nullptr, kKindSvx4},
        {"49 is not SVX Type 4", 49, 49, false, "Unknown file type mem.svx", kKindUnknown},
        {"5,242,880 is not SVX Type 4", 0x500000, 60, false, "Unknown file type mem.svx", kKindUnknown},
        {"negative count", -5, 60, false, "Unknown file type mem.svx", kKindUnknown},
        {"block shorter than claimed", 1000, 999, false, "File mem.svx ends before its last sample",
         kKindSvx4},
    };
    for (const auto& c : cases) {
        Svx4Spec s = specWith(c.present);
        s.sampleCount = c.claimed;
        RecordingMessages messages;
        const LoadResult r = loadSpec(test::buildSvx4(s), messages);
        EXPECT_EQ(r.ok, c.ok) << c.name;
        EXPECT_EQ(r.kind, c.kind) << c.name;
        if (c.message) {
            EXPECT_EQ(messages.texts(), std::vector<std::string>{c.message}) << c.name;
        }
        if (!c.ok) {
            EXPECT_TRUE(r.channels.empty()) << c.name << ": a failed load leaves nothing half-filled";
        }
    }
}

TEST(Svx4Load, LargestCountLoadsWhole) {
    Svx4Spec s = specWith(0x500000 - 1, 0);
    RecordingMessages messages;
    const LoadResult r = loadSpec(test::buildSvx4(s), messages);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.channels[0].samples.size(), 0x500000u - 1);
    EXPECT_EQ(r.channels[0].samples.back(), s.samples.back());
}

TEST(Svx4Load, HeaderChecksRejectBadDatesAndRates) {
    struct Case {
        const char* name;
        void (*change)(Svx4Spec&);
    };
    const Case cases[] = {
        {"year 1959", [](Svx4Spec& s) { s.start.year = 1959; }},
        {"year 2201", [](Svx4Spec& s) { s.start.year = 2201; }},
        {"month 13", [](Svx4Spec& s) { s.start.month = 13; }},
        {"day 0", [](Svx4Spec& s) { s.start.day = 0; }},
        {"hour 25", [](Svx4Spec& s) { s.start.hour = 25; }},
        {"minute 61", [](Svx4Spec& s) { s.start.minute = 61; }},
        {"sps 0", [](Svx4Spec& s) { s.sps = 0; }},
        {"sps negative", [](Svx4Spec& s) { s.sps = -100; }},
        {"sps above a million", [](Svx4Spec& s) { s.sps = 1'000'001; }},
        {"sps NaN", [](Svx4Spec& s) { s.sps = std::nan(""); }},
        {"wrong magic", [](Svx4Spec& s) { s.magic = "SVXTYPE3"; }},
    };
    for (const auto& c : cases) {
        Svx4Spec s = specWith(100);
        c.change(s);
        RecordingMessages messages;
        const LoadResult r = loadSpec(test::buildSvx4(s), messages);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_EQ(messages.texts(), std::vector<std::string>{"Unknown file type mem.svx"}) << c.name;
    }
    Svx4Spec edge = specWith(100);
    edge.start.hour = 24;
    edge.start.minute = 60;
    edge.start.second = 60;
    edge.sps = 1'000'000;
    RecordingMessages messages;
    EXPECT_TRUE(loadSpec(test::buildSvx4(edge), messages).ok) << "the check's upper bounds are inclusive";
}

TEST(Svx4Load, CrcGoodBadAndDisabled) {
    struct Case {
        const char* name;
        std::int32_t flags;
        bool corrupt;
        bool crcPresent;
        bool expectMessage;
    };
    const Case cases[] = {
        {"good", 0, false, true, false},
        {"bad shows CRC Error and still loads", 0, true, true, true},
        {"missing CRC bytes", 0, false, false, true},
        {"flag bit 0 skips the check", 1, true, true, false},
    };
    for (const auto& c : cases) {
        Svx4Spec s = specWith(300);
        s.headerFlags = c.flags;
        s.crc = c.crcPresent;
        if (c.corrupt) s.crcOverride = 0x1234;
        RecordingMessages messages;
        const LoadResult r = loadSpec(test::buildSvx4(s), messages);
        EXPECT_TRUE(r.ok) << c.name;
        EXPECT_EQ(messages.contains("CRC Error"), c.expectMessage) << c.name;
        RecordingMessages quiet;
        EXPECT_TRUE(loadSpec(test::buildSvx4(s), quiet, LoadMode::PictureServer).ok);
        EXPECT_TRUE(quiet.messages().empty()) << c.name << ": the picture server shows nothing";
    }
}

TEST(Svx4Load, VariableHeaderDamage) {
    struct Case {
        const char* name;
        std::vector<test::BlockSpec> blocks;
        std::optional<std::int32_t> varLength;
        std::size_t extraBlocks;
    };
    test::BlockSpec badMark = test::textBlock(1, "x");
    badMark.mark = 0x54;
    test::BlockSpec shortEvent{4, std::vector<std::uint8_t>(61, 0)};
    test::BlockSpec emptyHistory{6, {}};
    test::BlockSpec unknown{42, {1, 2, 3}};
    const Case cases[] = {
        {"wrong mark ends parsing, load goes on", {badMark}, {}, 0},
        {"event block of 61 bytes is kept raw", {shortEvent}, {}, 1},
        {"empty history block is kept raw", {emptyHistory}, {}, 1},
        {"unknown type is kept raw", {unknown}, {}, 1},
    };
    for (const auto& c : cases) {
        Svx4Spec s = specWith(100);
        s.blocks = c.blocks;
        RecordingMessages messages;
        const LoadResult r = loadSpec(test::buildSvx4(s), messages);
        ASSERT_TRUE(r.ok) << c.name;
        EXPECT_EQ(r.channels[0].record.info.extraBlocks.size(), c.extraBlocks) << c.name;
        EXPECT_EQ(r.channels[0].samples, s.samples) << c.name;
    }
}

TEST(Svx4Load, BlockLengthsBeyondTheFileAreNeverFollowed) {
    for (std::int32_t length : {-1, 100000, 0x7fffffff}) {
        Svx4Spec s = specWith(100);
        test::BlockSpec block = test::textBlock(3, "abc");
        block.lengthOverride = length;
        s.blocks = {block};
        RecordingMessages messages;
        const LoadResult r = loadSpec(test::buildSvx4(s), messages);
        EXPECT_TRUE(r.ok) << length;
        EXPECT_TRUE(r.channels[0].record.info.comment.empty()) << length;
    }
    Svx4Spec s = specWith(100);
    s.varHeaderLength = -20;
    RecordingMessages messages;
    EXPECT_FALSE(loadSpec(test::buildSvx4(s), messages).ok) << "negative variable header length";
}

TEST(Svx4Load, LongTextsAreCutAt255) {
    Svx4Spec s = specWith(100);
    s.blocks = {test::textBlock(3, std::string(400, 'c'))};
    RecordingMessages messages;
    const LoadResult r = loadSpec(test::buildSvx4(s), messages);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.channels[0].record.info.comment, std::string(255, 'c'));
}

TEST(Svx4Load, TruncatedFixedHeaderIsUnknown) {
    const std::vector<std::uint8_t> full = test::buildSvx4(specWith(100));
    for (std::size_t size : {0u, 8u, 100u, 153u}) {
        RecordingMessages messages;
        const std::vector<std::uint8_t> cut(full.begin(), full.begin() + size);
        EXPECT_FALSE(loadSpec(cut, messages).ok) << size;
        EXPECT_TRUE(messages.contains("Unknown file type mem.svx")) << size;
    }
}

TEST(Svx4Volume, OneTwoAndThreeChannels) {
    for (int n = 1; n <= 3; ++n) {
        std::vector<Svx4Spec> channels;
        for (int k = 0; k < n; ++k) {
            Svx4Spec s = specWith(200, static_cast<std::uint8_t>(k));
            s.componentName = std::string("BH") + "ZNE"[k];
            s.blocks = {test::textBlock(3, "channel " + std::to_string(k))};
            for (double& v : s.samples)
                v += 10 * k;
            channels.push_back(s);
        }
        RecordingMessages messages;
        const LoadResult r = loadSpec(test::buildSvxVolume(channels), messages);
        ASSERT_TRUE(r.ok) << n << ::testing::PrintToString(messages.texts());
        EXPECT_TRUE(messages.messages().empty());
        EXPECT_EQ(r.kind, kKindSvxVolume);
        ASSERT_EQ(r.channels.size(), static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k) {
            EXPECT_EQ(r.channels[k].samples, channels[k].samples) << n << "/" << k;
            EXPECT_EQ(r.channels[k].record.info.comment, "channel " + std::to_string(k));
            EXPECT_EQ(r.channels[k].record.component(), channels[k].componentName);
        }
    }
}

TEST(Svx4Volume, DamagedVolumes) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* message;
    };
    const auto two = std::vector<Svx4Spec>{specWith(200), specWith(200)};
    std::vector<std::uint8_t> truncated = test::buildSvxVolume(two);
    truncated.resize(truncated.size() - 500);
    std::vector<Svx4Spec> badSecond = two;
    badSecond[1].sps = 0;
    std::vector<Svx4Spec> badCrc = two;
    badCrc[1].crcOverride = 1;
    const Case cases[] = {
        {"zero channels", test::buildSvxVolume(two, 0), "Error loading SVX Data Set Volume"},
        {"four channels", test::buildSvxVolume(two, 4), "Error loading SVX Data Set Volume"},
        {"second header fails its check", test::buildSvxVolume(badSecond),
         "Error loading SVX Data Set Volume"},
        {"cut inside the second channel", truncated, "File mem.svx ends before its last sample"},
        {"bad CRC of the second channel", test::buildSvxVolume(badCrc), "CRC Error"},
    };
    for (const auto& c : cases) {
        RecordingMessages messages;
        loadSpec(c.bytes, messages);
        EXPECT_TRUE(messages.contains(c.message)) << c.name << ::testing::PrintToString(messages.texts());
    }
}

TEST(Svx4Load, NamesWithoutFolderComeFromTheEventDirectory) {
    test::TempDir dir;
    test::writeBytes(dir / "quake.svx", test::buildSvx4(specWith(100)));
    RecordingMessages messages;
    LoaderSettings settings;
    settings.eventDirectory = dir.path();
    EventLoader loader(messages, settings);
    LoadRequest request;
    request.fileName = "quake.svx";
    const LoadResult r = loader.load(request);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.path, (dir / "quake.svx").string());
    EXPECT_EQ(r.channels[0].record.fileName, r.path);

    request.fileName = (dir / "missing.svx").string();
    EXPECT_FALSE(loader.load(request).ok);
    EXPECT_TRUE(messages.contains("Can't open file " + request.fileName));
    RecordingMessages unattended;
    EventLoader quiet(unattended, settings);
    request.mode = LoadMode::Print;
    EXPECT_FALSE(quiet.load(request).ok);
    EXPECT_TRUE(unattended.messages().empty()) << "print mode does not show the open failure";
}

TEST(Svx4Load, HeaderOnlyTakesTextsAndEvents) {
    Svx4Spec s = specWith(100);
    s.blocks = {test::textBlock(3, "first"), test::textBlock(3, "second"),
                test::pickBlock({2024, 1, 1, 0, 0, 0, 0}, "P", 0, 0, 0),
                test::eventBlock({2024, 1, 1, 0, 0, 0, 0}, 1, 2, 3, 400)};
    RecordingMessages messages;
    EventLoader loader(messages);
    const LoadResult r = loader.readHeaderOnlyBytes(test::buildSvx4(s), "x");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.channels[0].record.info.comment, "first");
    EXPECT_EQ(r.channels[0].record.info.events.size(), 1u);
    EXPECT_TRUE(r.channels[0].record.info.picks.empty());
    EXPECT_TRUE(r.channels[0].samples.empty());
    EXPECT_EQ(loader.recognise(test::buildSvx4(s)), kKindSvx4);
    EXPECT_EQ(loader.recognise(std::vector<std::uint8_t>(300, 'x')), kKindUnknown);
}

} // namespace
} // namespace tlx
