#include "services/replay_request.h"

#include "core/file_io.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace {

using namespace tlx;
namespace fs = std::filesystem;
using tlx::test::TempDir;

struct ReplayFolders {
    TempDir dir;
    std::string events = (dir / "events").string();
    std::string requests = (dir / "rq").string();
    ReplayFolders() {
        fs::create_directory(events);
        fs::create_directory(requests);
    }
};

TEST(ReplayRequest, ReplayDatKeepsValidChannelsAndRoundTrips) {
    ReplayFolders f;
    const std::string text = f.events + "\nx:\n! a comment\nab,3,1," + f.requests + "\nSEIS01 2 " +
                             f.requests + "\nA,3,1," + f.requests + "\nNINECHARS,3,1," + f.requests +
                             "\nzero,0,1," + f.requests + "\ngone,3,1," + f.requests + "/missing\nmode,3,2," +
                             f.requests + "\n";
    const auto setup = parseReplayDat(text);
    ASSERT_TRUE(setup);
    EXPECT_EQ(setup->eventDirectory, f.events + "/");
    EXPECT_EQ(setup->drive, 'X');
    ASSERT_EQ(setup->channels.size(), 2u);
    EXPECT_EQ(replayChannelListText(setup->channels[0]), "AB\tWinCorvid # 3");
    EXPECT_EQ(replayChannelListText(setup->channels[1]), "SEIS01\tCorvid # 2");

    const CivilTime start{2024, 3, 1, 12, 7, 0, 0};
    const std::string expected = replayExpectedFile(*setup, setup->channels[0], start);
    EXPECT_EQ(expected, f.events + "/03011207.AB.svx");
    EXPECT_EQ(replayRecorderFile(*setup, "c:\\tellurix\\03011207.AB.svx"), "X:\\tellurix\\03011207.AB.svx");

    std::string error;
    ASSERT_TRUE(writeReplayDat(f.dir / "REPLAY.DAT", *setup, error)) << error;
    std::string written;
    ASSERT_TRUE(readTextFile(f.dir / "REPLAY.DAT", written));
    const auto again = parseReplayDat(written);
    ASSERT_TRUE(again);
    ASSERT_EQ(again->channels.size(), 2u);
    EXPECT_EQ(again->channels[1].mode, 0);
    ReplaySetup noDrive = *setup;
    noDrive.drive = 0;
    EXPECT_FALSE(writeReplayDat(f.dir / "REPLAY2.DAT", noDrive, error));
    EXPECT_EQ(error, "Tellurix Directory and/or Corvid Drive Not Defined");
    EXPECT_FALSE(parseReplayDat(f.events + "/missing\nx:\n"));
}

TEST(ReplayRequest, RequestFileHoldsTheRecorderLine) {
    ReplayFolders f;
    ReplaySetup setup{f.events + "/", 'X', {}};
    const ReplayChannel channel{"AB", 3, 1, f.requests};
    const ReplayRequest request{CivilTime{2024, 3, 1, 12, 7, 0, 0}, true, 10, 2};
    std::ofstream(f.events + "/03011207.AB.svx") << "old";
    ReplaySent sent;
    std::string error;
    ASSERT_TRUE(sendReplayRequest(setup, channel, request, CivilTime{2024, 3, 2, 8, 9, 5, 0}, sent, error));
    EXPECT_FALSE(fs::exists(sent.expectedFile)); // an old file of that name would be taken for the answer
    EXPECT_EQ(sent.requestFile, fs::path(f.requests) / "RQ080905.sy3");
    std::string text;
    ASSERT_TRUE(readTextFile(sent.requestFile, text));
    std::string recorder = "X:" + f.events + "/03011207.AB.svx";
    for (char& c : recorder)
        if (c == '/') c = '\\';
    EXPECT_EQ(text, "3 1 24 12 7 U 10 2 AB " + recorder + "\n");
}

TEST(ReplayRequest, WaitEndsOnArrivalRecorderErrorCancelAndTimeOut) {
    ReplayFolders f;
    const fs::path expected = fs::path(f.events) / "03011207.AB.svx";
    const fs::path request = fs::path(f.requests) / "RQ080905.sy3";
    auto makeRequest = [&] { std::ofstream(request) << "x\n"; };

    makeRequest();
    std::thread recorder([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(120));
        std::ofstream(expected) << std::string(300, 'e');
    });
    EXPECT_EQ(waitForReplay(expected, request, {}, 20, 50).outcome, ReplayOutcome::Arrived);
    recorder.join();

    std::ofstream(expected, std::ios::trunc) << "No data for that time\r\n" << std::string(120, ' ');
    const ReplayWait refused = waitForReplay(expected, request, {}, 5, 50);
    EXPECT_EQ(refused.outcome, ReplayOutcome::RecorderError);
    EXPECT_EQ(refused.message, "Corvid Error: No data for that time");
    fs::remove(expected);

    int asked = 0;
    EXPECT_EQ(waitForReplay(
                  expected, request, [&] { return ++asked < 3; }, 40, 50)
                  .outcome,
              ReplayOutcome::Cancelled);
    EXPECT_FALSE(fs::exists(request));

    makeRequest();
    const ReplayWait late = waitForReplay(expected, request, {}, 3, 50);
    EXPECT_EQ(late.outcome, ReplayOutcome::TimedOut);
    EXPECT_EQ(late.message, "Timeout Error");
    EXPECT_FALSE(fs::exists(request));
}

} // namespace
