// MINISEED records, Steim decoding and trace assembly on records built for the purpose.
#include "core/byte_order.h"
#include "core/debug_log.h"
#include "core/text.h"
#include "mseed_builder.h"
#include "record/loader.h"
#include "record/mseed_record.h"
#include "record/seed.h"
#include "record/steim.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tlx {
namespace {

using test::MseedSpec;

std::vector<std::uint8_t> join(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

MseedSpec spec(std::vector<std::int32_t> samples, int encoding = 10) {
    MseedSpec s;
    s.samples = std::move(samples);
    s.encoding = encoding;
    return s;
}

TEST(SeedRate, FactorAndMultiplier) {
    struct Case {
        int f, m;
        double rate;
    };
    for (const Case c : {Case{1, -10, 0.1}, Case{-10, 1, 0.1}, Case{20, 1, 20}, Case{20, 0, 20},
                         Case{0, 5, 0}, Case{-10, -10, 0.01}, Case{40, 2, 80}}) {
        EXPECT_DOUBLE_EQ(sampleRate(c.f, c.m), c.rate) << c.f << " " << c.m;
    }
}

TEST(SeedRecord, ByteOrderFromTheYear) {
    // 1800..2054 stored big-endian begin 07 08.. or 08 00..06.
    EXPECT_TRUE(yearIsBigEndian(0x07, 0xE8));  // 2024
    EXPECT_TRUE(yearIsBigEndian(0x08, 0x06));  // 2054
    EXPECT_FALSE(yearIsBigEndian(0xE8, 0x07)); // 2024 little-endian
    EXPECT_FALSE(yearIsBigEndian(0x08, 0x07)); // 2055 big-endian reads as little-endian
}

TEST(SeedRecord, HeaderRejections) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        RecordStatus status;
        const char* error;
    };
    MseedSpec quality = spec({1, 2, 3});
    quality.quality = 'X';
    MseedSpec noB1000 = spec({1, 2, 3});
    noB1000.withB1000 = false;
    auto longRecord = test::buildRecord(spec({1, 2, 3}));
    longRecord[54] = 16; // 65,536 bytes: larger than the record buffer
    auto cut = test::buildRecord(spec({1, 2, 3}));
    cut.resize(300); // blockette 1000 says 512
    auto loop = test::buildRecord(spec({1, 2, 3}));
    writeBE<std::uint16_t>(loop.data() + 50, 48); // blockette 1000 names itself as the next
    auto inHeader = test::buildRecord(spec({1, 2, 3}));
    writeBE<std::uint16_t>(inHeader.data() + 46, 40);
    const Case cases[] = {
        {"quality X", test::buildRecord(quality), RecordStatus::BadQuality,
         "Bad Fixed Header Record ind = X (88)"},
        {"no blockette 1000", test::buildRecord(noB1000), RecordStatus::NoB1000, "Can't find blk 1000"},
        {"record longer than the buffer", longRecord, RecordStatus::BadLength, nullptr},
        {"file ends inside the record", cut, RecordStatus::BadLength, nullptr},
        {"blockette chain loops", loop, RecordStatus::BadBlockette, nullptr},
        {"blockette inside the fixed header", inHeader, RecordStatus::BadBlockette, nullptr},
    };
    for (const Case& c : cases) {
        DataRecordHeader h;
        std::string error;
        EXPECT_EQ(parseDataRecord(c.bytes, true, 0, h, error), c.status) << c.what;
        if (c.error) {
            EXPECT_EQ(error, c.error) << c.what;
        }
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(Steim, IntegrityMismatchFailsTheRecordAndIsLogged) {
    test::TempDir dir;
    setDebugLogDirectory(dir.path().string());
    MseedSpec s = spec(test::rampInts(60, 100, 7));
    s.xnAdjust = 5;
    CSeed seed;
    EXPECT_FALSE(seed.readMiniSeed(test::buildRecord(s)));
    EXPECT_EQ(seed.lastError(), "Error unpacking data");
    setDebugLogDirectory({});
    std::ifstream log(dir / "tlx.log");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(text.str().find("Data integrity for STEIM1 data frame, last_data=513, xn=518"),
              std::string::npos)
        << text.str();
}

TEST(Steim, BadInputNeverOverrunsAndIsReported) {
    const auto record = test::buildRecord(spec(test::rampInts(50)));
    const std::uint8_t* frames = record.data() + 64;
    std::vector<std::int32_t> out(64, 0x55AA55AA);
    // More samples asked for than the output holds.
    SteimResult r = decodeSteim1(frames, 448, true, 50, out.data(), 40);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(out[0], 0x55AA55AA);
    // Frames that hold fewer samples than the header claims.
    r = decodeSteim1(frames, 448, true, 60, out.data(), out.size());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(out[60], 0x55AA55AA);
    // Less than one frame of data.
    r = decodeSteim1(frames, 63, true, 1, out.data(), out.size());
    EXPECT_FALSE(r.ok);

    // A Steim2 word with code 2 and the invalid sub-code 0.
    auto bad = test::buildRecord(spec({5, 6, 7}, 11));
    writeBE<std::uint32_t>(bad.data() + 64 + 12, 0x00000001u);
    r = decodeSteim2(bad.data() + 64, 448, true, 3, out.data(), out.size());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "invalid ck, dnib, fn, wn = 2, 0, 0, 3");
}

TEST(Steim, BothByteOrdersAndBothLevelsGiveTheSamples) {
    const auto samples = test::rampInts(103, -50000, 977);
    for (int encoding : {10, 11})
        for (bool be : {true, false}) {
            MseedSpec s = spec(samples, encoding);
            s.bigEndian = be;
            CSeed seed;
            ASSERT_TRUE(seed.readMiniSeed(test::buildRecord(s))) << seed.lastError();
            EXPECT_EQ(seed.traces().at(0).samples, samples) << encoding << " " << be;
        }
}

TEST(SeedMiniSeed, ChannelSwitchMakesTwoTracesAndKindSeven) {
    MseedSpec z = spec(test::rampInts(100));
    MseedSpec n = z;
    n.channel = "BHN";
    const auto bytes = join({test::buildRecord(z), test::buildRecord(n)});
    RecordingMessages messages;
    EventLoader loader(messages);
    const LoadResult r = loader.loadBytes(bytes, "two.mseed", LoadRequest{});
    ASSERT_TRUE(r.ok) << testing::PrintToString(messages.texts());
    EXPECT_EQ(r.kind, kKindMiniSeedSet);
    ASSERT_EQ(r.channels.size(), 2u);
    EXPECT_EQ(r.channels[0].record.component(), "BHZ");
    EXPECT_EQ(r.channels[1].record.component(), "BHN");
    EXPECT_EQ(r.channels[1].record.header.orientation, 'N');
    EXPECT_EQ(+r.channels[1].record.header.incident, 90.0);
}

// Records are gathered by channel and placed by time: shuffled, interleaved with another
// channel and one repeated, they still give each channel's samples once and in order.
TEST(SeedMiniSeed, RecordsArePlacedByChannelAndTime) {
    const std::vector<std::int32_t> ramp = test::rampInts(300);
    MseedSpec z = spec({});
    MseedSpec n = z;
    n.channel = "BHN";
    const auto zs = test::buildRecords(z, ramp), ns = test::buildRecords(n, ramp);
    ASSERT_EQ(zs.size(), 3u * 512);
    const auto rec = [](const std::vector<std::uint8_t>& b, std::size_t i) {
        return std::vector<std::uint8_t>(b.begin() + static_cast<std::ptrdiff_t>(512 * i),
                                         b.begin() + static_cast<std::ptrdiff_t>(512 * (i + 1)));
    };
    const auto bytes =
        join({rec(zs, 2), rec(ns, 0), rec(zs, 0), rec(ns, 1), rec(zs, 1), rec(zs, 1), rec(ns, 2)});
    CSeed seed;
    ASSERT_TRUE(seed.readMiniSeed(bytes)) << seed.lastError();
    ASSERT_EQ(seed.traces().size(), 2u);
    EXPECT_EQ(seed.traces()[0].channel, "BHZ");
    EXPECT_EQ(seed.traces()[0].samples, ramp);
    EXPECT_EQ(seed.traces()[1].channel, "BHN");
    EXPECT_EQ(seed.traces()[1].samples, ramp);
    EXPECT_EQ(seed.traces()[0].startMicros, seed.traces()[1].startMicros);
    EXPECT_TRUE(seed.readMiniSeed(bytes, false));
    EXPECT_EQ(seed.traces()[0].count, 300u);
}

TEST(SeedMiniSeed, SlewLimitAndSmallTimeErrors) {
    struct Case {
        int lateSeconds;
        bool stops;
    };
    for (const Case c : {Case{150, true}, Case{50, false}, Case{-50, false}}) {
        MseedSpec first = spec(test::rampInts(100));
        MseedSpec second = first;
        // The first record's 100 samples at 100 sps end one second after its start.
        second.second = 1 + c.lateSeconds % 60 + (c.lateSeconds < 0 ? 60 : 0);
        second.minute = c.lateSeconds / 60 + (c.lateSeconds < 0 ? -1 : 0);
        second.hour = 12;
        if (second.minute < 0) {
            second.minute += 60;
            second.hour = 11;
        }
        CSeed seed;
        ASSERT_TRUE(seed.readMiniSeed(join({test::buildRecord(first), test::buildRecord(second)})));
        ASSERT_EQ(seed.traces().size(), 1u);
        EXPECT_EQ(seed.traces()[0].samples.size(), c.stops ? 100u : 200u) << c.lateSeconds;
        EXPECT_EQ(seed.lastError(), c.stops ? "Max slew exceeded - time series prematurely terminated" : "");
    }
}

TEST(SeedMiniSeed, RateZeroRecordsAreAppendedWithoutTimeCheck) {
    MseedSpec first = spec(test::rampInts(70));
    first.rateFactor = 0;
    MseedSpec later = first;
    later.hour = 18;
    CSeed seed;
    ASSERT_TRUE(seed.readMiniSeed(join({test::buildRecord(first), test::buildRecord(later)})));
    EXPECT_EQ(seed.traces().at(0).samples.size(), 140u);
    EXPECT_EQ(seed.traces().at(0).rate, 0.0);
}

TEST(SeedMiniSeed, HeaderOnlyReadsNoSamples) {
    MseedSpec s = spec(test::rampInts(100));
    s.xnAdjust = 1; // samples that would not decode
    MseedSpec next = s;
    next.second = 1;
    const auto bytes = join({test::buildRecord(s), test::buildRecord(next)});
    RecordingMessages messages;
    EventLoader loader(messages);
    const LoadResult header = loader.readHeaderOnlyBytes(bytes, "h.mseed");
    ASSERT_TRUE(header.ok);
    EXPECT_EQ(header.kind, kKindMiniSeed);
    EXPECT_EQ(+header.channels.at(0).record.header.sampleCount, 200);
    EXPECT_TRUE(header.channels[0].samples.empty());
    EXPECT_FALSE(loader.loadBytes(bytes, "h.mseed", LoadRequest{}).ok);
}

TEST(SeedMiniSeed, RejectedRecords) {
    MseedSpec usnsn = spec({1, 2, 3}, 50); // a compression without a published bit layout
    CSeed seed;
    EXPECT_FALSE(seed.readMiniSeed(test::buildRecord(usnsn)));
    EXPECT_EQ(seed.lastError(), "Error: Currently unable to read format 50 for TEST.BHZ.XX");

    // A bad record after a good one ends reading; what was read stays.
    MseedSpec good = spec(test::rampInts(80));
    MseedSpec bad = good;
    bad.quality = 'X';
    ASSERT_TRUE(
        seed.readMiniSeed(join({test::buildRecord(good), test::buildRecord(bad), test::buildRecord(good)})));
    EXPECT_EQ(seed.traces().at(0).samples.size(), 80u);
    EXPECT_EQ(seed.lastError(), "Bad Fixed Header Record ind = X (88)");
}

TEST(SeedMiniSeed, FilledRecordAndTruncatedMean) {
    MseedSpec s = spec({100, 102, 104});
    s.network = "IU";
    s.location = "00";
    s.station = "ANMO";
    s.fract = 1234;
    CSeed seed;
    ASSERT_TRUE(seed.readMiniSeed(test::buildRecord(s)));
    EventRecord rec;
    std::vector<double> samples;
    ASSERT_TRUE(seed.fillFromTrace(0, rec, &samples));
    EXPECT_EQ(samples, (std::vector<double>{-2, 0, 2}));
    EXPECT_EQ(rec.stationName(), "ANMO");
    EXPECT_EQ(rec.info.sensorLocation, "ANMO");
    EXPECT_EQ(rec.component(), "BHZ");
    EXPECT_EQ(rec.header.lockIndicator, 'L');
    EXPECT_EQ(fieldText(rec.info.seedNetwork, 4), "IU");
    EXPECT_EQ(fieldText(rec.info.seedLocation, 4), "00");
    EXPECT_EQ(+rec.header.startTime.nanoseconds, 123'400'000);
    EXPECT_EQ(formatIsoTime(rec.header.startTime), "2024-03-01T12:00:00.123Z");

    // The mean 1.5 is truncated to 1.
    ASSERT_TRUE(seed.readMiniSeed(test::buildRecord(spec({1, 2}))));
    ASSERT_TRUE(seed.fillFromTrace(0, rec, &samples));
    EXPECT_EQ(samples, (std::vector<double>{0, 1}));
}

TEST(SeedMiniSeed, SensorDefaultsGetTheStationId) {
    MseedSpec s = spec({1, 2, 3});
    s.network = "IU";
    CSeed seed;
    std::string seen;
    seed.sensorDefaults = [&](const std::string& id, EventRecord&) { seen = id; };
    ASSERT_TRUE(seed.readMiniSeed(test::buildRecord(s)));
    EventRecord rec;
    seed.fillFromTrace(0, rec, nullptr);
    EXPECT_EQ(seen, "TEST.BHZ.IU");
}

TEST(SeedMiniSeed, DataSetFillsThreeSlotsAndForcedKindReachesTheRest) {
    std::vector<std::uint8_t> bytes;
    const char* channels[] = {"BHZ", "BHN", "BHE", "HHZ"};
    for (int k = 0; k < 4; ++k) {
        MseedSpec s = spec(test::rampInts(90, k * 1000));
        s.channel = channels[k];
        const auto r = test::buildRecord(s);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    RecordingMessages messages;
    EventLoader loader(messages);
    CSeed seed;
    LoadRequest request;
    request.seed = &seed;
    const LoadResult all = loader.loadBytes(bytes, "four.mseed", request);
    ASSERT_TRUE(all.ok);
    EXPECT_EQ(all.channels.size(), 3u);
    EXPECT_EQ(seed.traces().size(), 4u);
    EXPECT_EQ(seed.listChannels().at(3), "MINISEED Data Set\t03/01/24 12:00:00\tTEST (HHZ)");

    request.forcedKind = kForceSeedChannel;
    request.channelIndex = 3;
    const LoadResult fourth = loader.loadBytes(bytes, "four.mseed", request);
    ASSERT_TRUE(fourth.ok);
    ASSERT_EQ(fourth.channels.size(), 1u);
    EXPECT_EQ(fourth.channels[0].record.component(), "HHZ");

    request.channelIndex = 4;
    EXPECT_FALSE(loader.loadBytes(bytes, "four.mseed", request).ok);
    EXPECT_EQ(messages.texts().back(), "Error loading SEED Volume");
}

} // namespace
} // namespace tlx
