#include "record/loader.h"
#include "record/svx4_writer.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tlx {
namespace {

using test::Svx4Spec;

LoadResult loadFile(const std::filesystem::path& path, RecordingMessages& messages) {
    EventLoader loader(messages);
    LoadRequest request;
    request.fileName = path.string();
    return loader.load(request);
}

Svx4Spec richSpec(std::uint8_t type) {
    Svx4Spec s;
    s.sampleType = type;
    s.samples = test::rampSignal(400, type == 0 ? 3000 : 100000);
    s.blocks = {test::textBlock(1, "Cellar"),
                test::textBlock(2, "L-4C"),
                test::textBlock(3, "comment"),
                test::textBlock(7, "logger"),
                test::eventBlock({2024, 3, 1, 11, 58, 0, 0}, -33.5, -70.25, 35, 610, 590),
                test::pickBlock({2024, 3, 1, 12, 0, 10, 0}, "S", 2, -100, 33),
                test::historyBlock({"a", "b"}),
                {11, std::vector<std::uint8_t>(24, 0x3f)},
                {12, {9, 8, 7}},
                {99, {1, 2}},
                {13, {'I', 'U', 0, 0, '0', '0', 0, 0}}};
    return s;
}

TEST(Svx4Write, LoadAndWriteBackGivesTheSameBytes) {
    for (std::uint8_t type : {0, 1, 2, 3}) {
        test::TempDir dir;
        const std::vector<std::uint8_t> original = test::buildSvx4(richSpec(type));
        test::writeBytes(dir / "in.svx", original);
        RecordingMessages messages;
        const LoadResult r = loadFile(dir / "in.svx", messages);
        ASSERT_TRUE(r.ok) << int(type);
        WriterOptions options;
        options.sampleType = type;
        ASSERT_TRUE(writeSvx4File(dir / "out.svx", {&r.channels[0].record, r.channels[0].samples, 0}, options,
                                  messages));
        EXPECT_EQ(test::readBytes(dir / "out.svx"), original) << "sample type " << int(type);
    }
}

TEST(Svx4Write, EmptyRecordHasNoVariableHeader) {
    test::TempDir dir;
    Svx4Spec s;
    s.samples = test::rampSignal(100);
    test::writeBytes(dir / "in.svx", test::buildSvx4(s));
    RecordingMessages messages;
    const LoadResult r = loadFile(dir / "in.svx", messages);
    ASSERT_TRUE(r.ok);
    WriterOptions options;
    ASSERT_TRUE(
        writeSvx4File(dir / "out.svx", {&r.channels[0].record, r.channels[0].samples, 0}, options, messages));
    const auto bytes = test::readBytes(dir / "out.svx");
    std::int32_t varLength;
    std::memcpy(&varLength, &bytes[8], 4);
    EXPECT_EQ(varLength, 0);
    EXPECT_EQ(bytes.size(), 154u + 100 * 2 + 2)
        << "Auto chose int16 for small integers; samples start at 154";
}

TEST(Svx4Write, DecimationInvertAndDc) {
    EventRecord record;
    std::memcpy(record.header.magic, "SVXTYPE4", 8);
    record.header.startTime = {2024, 1, 1, 0, 0, 0, 0, 0};
    record.header.sps = 99;
    std::vector<double> samples(301);
    for (int i = 0; i < 301; ++i)
        samples[i] = i;
    struct Case {
        const char* name;
        int n;
        bool invert, removeDc, autoDc;
        double manualDc;
        std::size_t count;
        double first, last, sps;
    };
    const Case cases[] = {
        {"N=3 drops the incomplete last group", 3, false, false, true, 0, 100, 1, 298, 33},
        {"invert", 1, true, false, true, 0, 301, 0, -300, 99},
        {"auto DC removes the mean", 1, false, true, true, 0, 301, -150, 150, 99},
        {"manual DC, halves round away from zero", 2, false, true, false, 10, 150, -10, 289,
         49.5}, // -9.5, 288.5
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        WriterOptions options;
        options.decimation = c.n;
        options.invert = c.invert;
        options.removeDc = c.removeDc;
        options.autoDcOffset = c.autoDc;
        options.sampleType = 1;
        RecordingMessages messages;
        ASSERT_TRUE(writeSvx4File(dir / "x.svx", {&record, samples, c.manualDc}, options, messages))
            << c.name;
        const LoadResult r = loadFile(dir / "x.svx", messages);
        ASSERT_TRUE(r.ok) << c.name;
        EXPECT_TRUE(messages.messages().empty()) << c.name << ": the writer's CRC is right";
        EXPECT_EQ(r.channels[0].samples.size(), c.count) << c.name;
        EXPECT_EQ(r.channels[0].samples.front(), c.first) << c.name;
        EXPECT_EQ(r.channels[0].samples.back(), c.last) << c.name;
        EXPECT_DOUBLE_EQ(+r.channels[0].record.header.sps, c.sps) << c.name;
    }
}

TEST(Svx4Write, AutoSampleTypeAndClamping) {
    EventRecord record;
    std::vector<double> big = {40000.0, -5.0, 3e10, -3e10};
    record.header.dataMax = 3e10;
    record.header.dataMin = -3e10;
    WriterOptions options;
    WriteChannel channel{&record, big, 0};
    EXPECT_EQ(resolveSampleType({&channel, 1}, options), 1);
    options.dataProcessed = true;
    EXPECT_EQ(resolveSampleType({&channel, 1}, options), 2);
    options.dataProcessed = false;
    record.header.sampleType = 3;
    EXPECT_EQ(resolveSampleType({&channel, 1}, options), 3);
    record.header.sampleType = 0;
    record.header.dataMax = 32766.4;
    record.header.dataMin = -32767.4;
    EXPECT_EQ(resolveSampleType({&channel, 1}, options), 0);

    // Values beyond an integer type's range are held at its limits rather than wrapped.
    options.sampleType = 0;
    const auto int16 = encodeSvx4Channel(channel, options, 0);
    std::int16_t s16[4];
    std::memcpy(s16, &int16[154], sizeof s16);
    EXPECT_EQ(s16[0], 32767);
    EXPECT_EQ(s16[1], -5);
    EXPECT_EQ(s16[3], -32768);
    const auto int32 = encodeSvx4Channel(channel, options, 1);
    std::int32_t s32[4];
    std::memcpy(s32, &int32[154], sizeof s32);
    EXPECT_EQ(s32[2], 2147483647);
    EXPECT_EQ(s32[3], -2147483647 - 1);
}

TEST(Svx4Write, AutoSampleTypeIsOneForTheWholeSave) {
    test::TempDir dir;
    EventRecord quiet, loud;
    const std::vector<double> small(60, 100.0), large(60, 40000.0);
    quiet.header.dataMin = quiet.header.dataMax = 100;
    loud.header.dataMin = loud.header.dataMax = 40000;
    const WriteChannel channels[] = {{&quiet, small, 0}, {&loud, large, 0}};
    const std::filesystem::path paths[] = {dir / "a.svx", dir / "b.svx"};
    RecordingMessages messages;
    ASSERT_TRUE(writeSvx4Files(paths, channels, WriterOptions{}, messages));
    for (const auto& path : paths) {
        const auto bytes = test::readBytes(path);
        ASSERT_GT(bytes.size(), 154u) << path;
        EXPECT_EQ(bytes[52], 1) << "int32 for every file of the save: " << path;
        EXPECT_EQ(bytes.size(), 154u + 60 * 4 + 2) << path;
    }
}

TEST(Svx4Write, VolumeRoundTripAndOverwritePrompt) {
    test::TempDir dir;
    std::vector<Svx4Spec> specs = {richSpec(1), richSpec(1), richSpec(1)};
    specs[1].componentName = "BHN";
    specs[2].componentName = "BHE";
    const auto original = test::buildSvxVolume(specs);
    test::writeBytes(dir / "in.vol", original);
    RecordingMessages messages(Answer::No);
    const LoadResult r = loadFile(dir / "in.vol", messages);
    ASSERT_TRUE(r.ok);
    std::vector<WriteChannel> channels;
    for (const auto& c : r.channels)
        channels.push_back({&c.record, c.samples, 0});
    WriterOptions options;
    ASSERT_TRUE(writeSvxVolume(dir / "out.vol", channels, options, messages));
    EXPECT_EQ(test::readBytes(dir / "out.vol"), original);

    options.askOverwrite = true;
    EXPECT_FALSE(writeSvxVolume(dir / "in.vol", channels, options, messages));
    EXPECT_TRUE(messages.contains("Overwrite file " + (dir / "in.vol").string()));
}

TEST(Svx4Write, WriteFailureReportsAndLeavesNothing) {
    test::TempDir dir;
    EventRecord record;
    std::vector<double> samples(60, 1.0);
    RecordingMessages messages;
    const auto target = dir / "no-such-folder" / "x.svx";
    EXPECT_FALSE(writeSvx4File(target, {&record, samples, 0}, WriterOptions{}, messages));
    EXPECT_TRUE(messages.contains("Can't open file " + target.string() + " for write"));
}

TEST(Svx4Write, LongNameReplacesTheShortArchiveFile) {
    EXPECT_TRUE(isShortArchiveName("/x/240301a.bhz"));
    EXPECT_FALSE(isShortArchiveName("/x/240301a.svx"));
    EXPECT_FALSE(isShortArchiveName("/x/24030xa.bhz"));
    test::TempDir dir;
    const auto shortName = dir / "240301a.bhz";
    test::writeBytes(shortName, test::buildSvx4(richSpec(1)));
    RecordingMessages messages;
    LoadResult r = loadFile(shortName, messages);
    ASSERT_TRUE(r.ok);
    WriterOptions options;
    options.longFileNames = true;
    ASSERT_TRUE(writeSvx4File(dir / "2024-03-01 1200 TEST.svx",
                              {&r.channels[0].record, r.channels[0].samples, 0}, options, messages));
    EXPECT_FALSE(std::filesystem::exists(shortName));
}

EventEntry reportEntry() {
    EventEntry e{};
    e.originTime = {2024, 3, 1, 11, 59, 30, 0, 0};
    e.latitude = 10;
    e.longitude = 20;
    e.depth = 33;
    e.magMb = 520;
    return e;
}

TEST(Svx4Attach, AddsTheReportAndKeepsSamplesAndOldEntries) {
    for (bool volume : {false, true}) {
        test::TempDir dir;
        const auto path = dir / "event.svx";
        Svx4Spec s = richSpec(2);
        s.headerFlags = 1; // attach clears the no-CRC flag
        test::writeBytes(path, volume ? test::buildSvxVolume({s, s}) : test::buildSvx4(s));
        RecordingMessages messages;
        ASSERT_TRUE(attachEventToFile(
            path, [](EventRecord& r) { r.addEvent(reportEntry()); }, {}, messages));
        const LoadResult r = loadFile(path, messages);
        ASSERT_TRUE(r.ok);
        EXPECT_TRUE(messages.messages().empty()) << "new CRC is right";
        for (const auto& channel : r.channels) {
            ASSERT_EQ(channel.record.info.events.size(), 2u);
            EXPECT_EQ(+channel.record.info.events[1].magMb, 520);
            EXPECT_EQ(+channel.record.header.headerFlags, 0);
            for (std::size_t i = 0; i < s.samples.size(); ++i)
                ASSERT_EQ(channel.samples[i], static_cast<float>(s.samples[i]));
        }
        EXPECT_EQ(r.channels.size(), volume ? 2u : 1u);
    }
}

TEST(Svx4Attach, CrcMismatchOrFailedWriteLeavesTheFileAsItWas) {
    test::TempDir dir;
    const auto path = dir / "event.svx";
    Svx4Spec s = richSpec(1);
    s.crcOverride = 77;
    const auto bad = test::buildSvx4(s);
    test::writeBytes(path, bad);
    RecordingMessages messages;
    EXPECT_FALSE(attachEventToFile(
        path, [](EventRecord& r) { r.addEvent(reportEntry()); }, {}, messages));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"CRC Error - File not updated"});
    EXPECT_EQ(test::readBytes(path), bad);

    const auto good = test::buildSvx4(richSpec(1));
    test::writeBytes(path, good);
    const auto unreachable = [&](const EventRecord&) { return dir / "missing" / "long name.svx"; };
    EXPECT_FALSE(attachEventToFile(
        path, [](EventRecord& r) { r.addEvent(reportEntry()); }, unreachable, messages));
    EXPECT_EQ(test::readBytes(path), good) << "the old file is never deleted before the new one is safe";

    const auto renamed = [&](const EventRecord&) { return dir / "2024-03-01 long.svx"; };
    ASSERT_TRUE(attachEventToFile(
        path, [](EventRecord& r) { r.addEvent(reportEntry()); }, renamed, messages));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(std::filesystem::exists(dir / "2024-03-01 long.svx"));
}

} // namespace
} // namespace tlx
