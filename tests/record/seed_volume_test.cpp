// SEED volumes and dataless volumes built for the purpose: control headers (with blockettes
// continued across records), data records decoded by the format dictionary, and the fields
// they give an event record.
#include "core/text.h"
#include "mseed_builder.h"
#include "record/loader.h"
#include "record/seed.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

using test::blockette;

std::string channel52(const std::string& code) {
    return blockette(52, "00" + code + "0000" + "003" + "Broadband sensor, channel 01~" + "001" + "002" +
                             "+45.100000" + "+007.100000" + "  351.0" + "  0.0" + " 30.0" + "-90.0" + "0001" +
                             "09" + "1.0000E+02" + "0.0000E+00" + "0000" + "CG~" + "2024,001~" + "~" + "N");
}

struct VolumeSpec {
    std::string formatName = "Steim-1 Integer Compression Format"; // empty: no dictionary
    bool hypocentre = true;
    std::string dataStation = "TST";
    std::vector<std::int32_t> samples = test::rampInts(100, 10, 5);
    bool withData = true;
    int encoding = 0; // with blockette 1000 when non-zero
};

std::vector<std::uint8_t> volume(const VolumeSpec& v) {
    std::vector<test::ControlRecord> control = {
        {'V',
         {blockette(10, "02.309"
                        "2024,061,12:00:00.0000~~2024,061,12:00:00.0000~Test~Label~")}},
        {'A',
         {blockette(33, "003STS-2 seismometer~"), blockette(34, "001M/S~Velocity~"),
          blockette(34, "002COUNTS~Digital counts~")}},
        {'S',
         {blockette(50, "TST  +45.000000+007.000000  350.00001000Test Site~0003210102024,001~~NXX"),
          channel52("BHZ"), blockette(58, "00+1.00000E+09+1.00000E+0000"), channel52("BHN"), channel52("BHE"),
          blockette(58, "00+2.00000E+09+1.00000E+0000")}},
    };
    if (!v.formatName.empty())
        control[1].blockettes.push_back(blockette(30, v.formatName + "~" + "0001" + "050" + "00"));
    if (v.hypocentre)
        control.push_back(
            {'T',
             {blockette(71, "2024,061,11:59:30.5000~01+44.000000+008.000000   10.002 4.50ML~01 5.10mb~01")}});
    std::vector<std::vector<std::uint8_t>> data;
    if (v.withData) {
        test::MseedSpec s;
        s.station = v.dataStation;
        s.withB1000 = v.encoding != 0;
        s.encoding = v.encoding ? v.encoding : s.encoding;
        s.samples = v.samples;
        data.push_back(test::buildRecord(s));
    }
    return test::buildSeedVolume(9, control, data);
}

LoadResult load(const std::vector<std::uint8_t>& bytes, RecordingMessages& messages) {
    EventLoader loader(messages);
    LoadRequest request;
    return loader.loadBytes(bytes, "v.seed", request);
}

TEST(SeedVolume, ControlHeadersContinuedAcrossRecords) {
    const auto bytes = volume({});
    ASSERT_GT(bytes.size(), 5u * 512); // the station header needs two records
    CSeed seed;
    ASSERT_TRUE(seed.readSeedVolume(bytes)) << seed.lastError();
    const SeedControl& c = seed.control();
    EXPECT_EQ(c.recordLength, 512);
    ASSERT_EQ(c.stations.size(), 1u);
    ASSERT_EQ(c.stations[0].channels.size(), 3u);
    const SeedChannel& bhe = c.stations[0].channels[2];
    EXPECT_EQ(bhe.channel, "BHE");
    EXPECT_EQ(bhe.formatKey, 1);
    EXPECT_DOUBLE_EQ(bhe.sensitivity, 1.0 / (2e9 * 100));
    EXPECT_EQ(c.stations[0].channels[1].sensitivity, 0.0);
}

TEST(SeedVolume, LoadFillsTheRecord) {
    RecordingMessages messages;
    const LoadResult r = load(volume({}), messages);
    ASSERT_TRUE(r.ok) << testing::PrintToString(messages.texts());
    EXPECT_EQ(r.kind, kKindSeed);
    ASSERT_EQ(r.channels.size(), 1u);
    const EventRecord& rec = r.channels[0].record;
    const ChannelHeader& h = rec.header;
    EXPECT_EQ(rec.stationName(), "TST");
    EXPECT_EQ(rec.component(), "BHZ");
    EXPECT_EQ(h.orientation, 'Z');
    EXPECT_EQ(fieldText(h.network, 6), "XX");
    EXPECT_EQ(+h.sampleType, 1);
    EXPECT_EQ(+h.sensorType, 2);
    EXPECT_EQ(+h.latitude, 45.1);
    EXPECT_EQ(+h.longitude, 7.1);
    EXPECT_EQ(+h.elevation, 350.0);
    EXPECT_EQ(+h.azimuth, 30.0);
    EXPECT_EQ(+h.incident, 0.0);
    EXPECT_DOUBLE_EQ(+h.sensitivity, 1e-11);
    EXPECT_EQ(rec.info.sensorLocation, "Test Site");
    EXPECT_EQ(rec.info.sensorDescription, "STS-2 seismometer");
    EXPECT_EQ(formatIsoTime(h.startTime), "2024-03-01T12:00:00.000Z");
    ASSERT_EQ(rec.info.events.size(), 1u);
    const EventEntry& e = rec.info.events[0];
    EXPECT_EQ(+e.magMl, 450);
    EXPECT_EQ(+e.magMb, 510);
    EXPECT_EQ(+e.depth, 10.0);
    EXPECT_EQ(formatIsoTime(e.originTime), "2024-03-01T11:59:30.500Z");
    // The exact mean (257.5) is removed.
    EXPECT_EQ(r.channels[0].samples.front(), 10 - 257.5);

    // Blockette 1000 names encodings beyond the dictionary's decoders: 16-bit integers here.
    VolumeSpec int16;
    int16.encoding = 1;
    const LoadResult plain = load(volume(int16), messages);
    ASSERT_TRUE(plain.ok) << testing::PrintToString(messages.texts());
    EXPECT_EQ(plain.channels[0].samples.back(), 505 - 257.5);
}

TEST(SeedVolume, Failures) {
    struct Case {
        const char* what;
        VolumeSpec spec;
        std::vector<std::string> messages;
    };
    VolumeSpec unknownFormat;
    unknownFormat.formatName = "Mystery Compression";
    VolumeSpec strangeStation;
    strangeStation.dataStation = "OTHER";
    VolumeSpec noDictionary;
    noDictionary.formatName.clear();
    VolumeSpec dataless;
    dataless.withData = false;
    const Case cases[] = {
        {"unknown format", unknownFormat, {"SEED Data Format Not Supported", "Error loading SEED Volume"}},
        {"no format dictionary",
         noDictionary,
         {"SEED Data Format Not Supported", "Error loading SEED Volume"}},
        {"unknown station", strangeStation, {"Error loading SEED Volume"}},
        {"no data", dataless, {"Error loading SEED Volume"}},
    };
    for (const Case& c : cases) {
        RecordingMessages messages;
        const LoadResult r = load(volume(c.spec), messages);
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_EQ(r.kind, kKindSeed) << c.what;
        EXPECT_EQ(messages.texts(), c.messages) << c.what;
    }
}

TEST(SeedVolume, ChannelListAndHeaderOnly) {
    const auto bytes = volume({});
    CSeed seed;
    ASSERT_TRUE(seed.readSeedVolume(bytes));
    // Station 45.0N 7.0E, hypocentre 44.0N 8.0E: 136 km.
    EXPECT_EQ(seed.listChannels(),
              (std::vector<std::string>{"SEED Data Set\t03/01/24 12:00:00\tTST (BHZ)  136km from TST"}));

    RecordingMessages messages;
    EventLoader loader(messages);
    const LoadResult header = loader.readHeaderOnlyBytes(bytes, "v.seed");
    ASSERT_TRUE(header.ok);
    EXPECT_EQ(header.kind, kKindSeed);
    EXPECT_TRUE(header.channels.at(0).samples.empty());
    VolumeSpec none;
    none.withData = false;
    const LoadResult datalessHeader = loader.readHeaderOnlyBytes(volume(none), "d.seed");
    ASSERT_TRUE(datalessHeader.ok);
    EXPECT_EQ(formatIsoTime(datalessHeader.channels.at(0).record.header.startTime),
              "2024-03-01T12:00:00.000Z");
}

TEST(SeedDataless, CompletesMiniSeedChannelsFromTheCandidateFolders) {
    VolumeSpec none;
    none.withData = false;
    const auto dataless = volume(none);
    test::MseedSpec s;
    s.station = "TST";
    s.samples = test::rampInts(60);
    const auto record = test::buildRecord(s);
    struct Case {
        const char* file;
        bool inInfoDirectory;
    };
    for (const Case c : {Case{"TST.dls", false}, Case{"TST.dls", true}, Case{"TST.XX.dls", false}}) {
        test::TempDir dir;
        std::filesystem::create_directories(dir / "dataless");
        std::filesystem::create_directories(dir / "info");
        test::writeBytes(dir / (c.inInfoDirectory ? "info" : "dataless") / c.file, dataless);
        CSeed seed;
        seed.datalessDirectory = dir / "dataless";
        seed.infoDirectory = dir / "info";
        seed.datalessExtension = "dls";
        ASSERT_TRUE(seed.readMiniSeed(record));
        EventRecord rec;
        seed.fillFromTrace(0, rec, nullptr);
        EXPECT_EQ(rec.info.sensorLocation, "Test Site") << c.file;
        EXPECT_EQ(+rec.header.latitude, 45.1);
        EXPECT_EQ(+rec.header.sensorType, 2);
        EXPECT_DOUBLE_EQ(+rec.header.sensitivity, 1e-11);
        EXPECT_EQ(fieldText(rec.info.seedLocation, 4), "00");
    }

    // Through the loader, with the dataless folder set after the loader was made.
    test::TempDir dir;
    test::writeBytes(dir / "TST.dls", dataless);
    RecordingMessages messages;
    EventLoader loader(messages);
    LoadRequest request;
    request.fileName = (dir / "tst.mseed").string();
    test::writeBytes(request.fileName, test::buildRecords(s, test::rampInts(600)));
    const LoadResult before = loader.load(request);
    ASSERT_TRUE(before.ok);
    EXPECT_EQ(before.channels.at(0).record.info.sensorLocation, "TST");
    LoaderSettings settings = loader.settings();
    settings.datalessDirectory = dir.path();
    settings.datalessExtension = "dls";
    loader.setSettings(settings);
    CSeed documentReader; // a document's reader object takes the settings of each load
    request.seed = &documentReader;
    const LoadResult after = loader.load(request);
    ASSERT_TRUE(after.ok);
    EXPECT_EQ(after.channels.at(0).record.info.sensorLocation, "Test Site");
    EXPECT_EQ(+after.channels.at(0).record.header.latitude, 45.1);
    EXPECT_DOUBLE_EQ(+after.channels.at(0).record.header.sensitivity, 1e-11);
}

} // namespace
} // namespace tlx

namespace tlx {
namespace {

TEST(SeedDataless, AddMiniSeedInformationCommand) {
    VolumeSpec none;
    none.withData = false;
    test::TempDir dir;
    test::writeBytes(dir / "TST.dataless", volume(none));
    test::writeBytes(dir / "junk.bin", std::vector<std::uint8_t>(600, 'x'));
    EventRecord described, other;
    copyToField(described.header.sensorId, 6, "TST");
    copyToField(described.header.componentName, 4, "BHN");
    copyToField(other.header.sensorId, 6, "TST");
    copyToField(other.header.componentName, 4, "LHZ");
    std::string message;
    EXPECT_EQ(CSeed::addMiniSeedInformation(dir / "TST.dataless", {&described, &other}, message), 1);
    EXPECT_EQ(message, "");
    EXPECT_EQ(+described.header.longitude, 7.1);
    EXPECT_EQ(CSeed::addMiniSeedInformation(dir / "TST.dataless", {&other}, message), 0);
    EXPECT_EQ(message, "No Channel Information Found in File " + (dir / "TST.dataless").string());
    EXPECT_EQ(CSeed::addMiniSeedInformation(dir / "junk.bin", {&other}, message), 0);
    EXPECT_EQ(message, "Dataless SEED or SEED File Parse Error");
}

} // namespace
} // namespace tlx
