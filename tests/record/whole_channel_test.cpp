#include "record/whole_channel.h"

#include "mseed_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

TEST(WholeChannel, ADayBeyondTheRecordLimitIsReadInFullAndJoinedAcrossAnotherChannel) {
    // BHZ: 3,000,000 samples from 12:00:00, a BHN record, then BHZ again 5 s after the first run
    // ended, 3,000,000 more: 6,000,500 samples in all, beyond the event record's 5,242,880.
    test::MseedSpec z;
    z.encoding = 11;
    z.lengthExponent = 12;
    const std::vector<std::int32_t> ramp = test::rampInts(6'000'000, -1000, 3);
    const std::vector<std::int32_t> first(ramp.begin(), ramp.begin() + 3'000'000);
    const std::vector<std::int32_t> second(ramp.begin() + 3'000'000, ramp.end());
    test::MseedSpec n = z;
    n.channel = "BHN";
    test::MseedSpec later = z;
    later.hour = 20, later.minute = 20, later.second = 5; // 12:00:00 + 30,005 s
    std::vector<std::uint8_t> bytes = test::buildRecords(z, first);
    for (const auto& part :
         {test::buildRecords(n, test::rampInts(1000, 7, 1)), test::buildRecords(later, second)})
        bytes.insert(bytes.end(), part.begin(), part.end());
    test::TempDir dir;
    test::writeBytes(dir / "day.mseed", bytes);

    RecordingMessages messages;
    EventLoader loader(messages);
    LoadRequest request;
    request.fileName = (dir / "day.mseed").string();
    request.mode = LoadMode::PictureServer;
    EXPECT_LE(loader.load(request).channels.at(0).samples.size(),
              5'242'880u); // an event record keeps the limit

    WholeChannel whole;
    std::string error;
    ASSERT_TRUE(readWholeChannel(loader, (dir / "day.mseed").string(), "TEST", "BHZ", whole, error)) << error;
    ASSERT_EQ(whole.samples.size(), 6'000'500u);
    EXPECT_FALSE(whole.limited);
    EXPECT_EQ(whole.record.component(), "BHZ");
    EXPECT_EQ(whole.record.header.sps, 100);
    EXPECT_EQ(whole.record.header.startTime.hour, 12);
    EXPECT_EQ(whole.samples[0], ramp[0]);
    EXPECT_EQ(whole.samples[2'999'999], ramp[2'999'999]);
    EXPECT_EQ(whole.samples[3'000'250], ramp[2'999'999]); // the gap holds the last value
    EXPECT_EQ(whole.samples[3'000'500], ramp[3'000'000]);
    EXPECT_EQ(whole.samples.back(), ramp.back());

    ASSERT_TRUE(readWholeChannel(loader, (dir / "day.mseed").string(), "TEST", "BHN", whole, error)) << error;
    EXPECT_EQ(whole.samples.size(), 1000u);
    EXPECT_EQ(whole.samples.back(), 1006);
    EXPECT_FALSE(readWholeChannel(loader, (dir / "none.mseed").string(), "TEST", "BHZ", whole, error));
}

} // namespace
} // namespace tlx
