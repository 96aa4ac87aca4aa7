#include "platform/process.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using tlx::ChildProcess;
using tlx::SpawnOptions;
using tlx::WaitStatus;

TEST(Process, ExitCodesComeBack) {
    struct Case {
        std::vector<std::string> argv;
        int code;
    } cases[] = {
        {{"true"}, 0}, {{"false"}, 1}, {{"/bin/sh", "-c", "exit 7"}, 7}, {{"ls", "/no/such/dir/at/all"}, 2}};
    for (const Case& c : cases)
        EXPECT_EQ(tlx::runProgram(c.argv), c.code) << c.argv[0];
}

TEST(Process, ArgumentsReachTheProgramUntouched) {
    // Blanks, quotes, shell operators and variables are plain text in an argument vector.
    ChildProcess child;
    SpawnOptions options;
    options.captureStdout = true;
    ASSERT_TRUE(child.start({"printf", "%s|", "a b", "$HOME;echo x", "'q' \"d\"", "`id`", ""}, options));
    EXPECT_EQ(child.readAllOutput(1 << 16), "a b|$HOME;echo x|'q' \"d\"|`id`||");
    EXPECT_EQ(child.wait(), WaitStatus::Exited);
    EXPECT_EQ(child.exitCode(), 0);
}

TEST(Process, OutputIsKeptUpToTheLimitAndTheRestDrained) {
    ChildProcess child;
    SpawnOptions options;
    options.captureStdout = true;
    ASSERT_TRUE(child.start({"head", "-c", "300000", "/dev/zero"}, options));
    EXPECT_EQ(child.readAllOutput(1000).size(), 1000u);
    ASSERT_EQ(child.wait(), WaitStatus::Exited);
    EXPECT_EQ(child.exitCode(), 0); // it was not stopped by a full pipe
}

TEST(Process, MissingProgramIsNotStarted) {
    ChildProcess child;
    EXPECT_FALSE(child.start({"tellurix-no-such-program-xyz"}));
    EXPECT_FALSE(child.start({"/nonexistent/dir/prog"}));
    EXPECT_FALSE(child.start({}));
    EXPECT_EQ(tlx::runProgram({"tellurix-no-such-program-xyz"}), -1);
}

TEST(Process, WaitTimesOutAndKillEndsTheChild) {
    ChildProcess child;
    ASSERT_TRUE(child.start({"sleep", "30"}));
    EXPECT_EQ(child.wait(50), WaitStatus::TimedOut);
    EXPECT_TRUE(child.running());
    child.kill();
    ASSERT_EQ(child.wait(5000), WaitStatus::Exited);
    EXPECT_EQ(child.exitCode(), 128 + 9);
    EXPECT_FALSE(child.running());
}

TEST(Process, RunsInTheGivenFolderWithEmptyInput) {
    tlx::test::TempDir dir;
    ChildProcess child;
    SpawnOptions options;
    options.captureStdout = true;
    options.workingDirectory = dir.path().string();
    ASSERT_TRUE(child.start({"/bin/sh", "-c", "pwd; cat"}, options)); // cat ends at once on /dev/null
    const std::string out = child.readAllOutput(4096);
    ASSERT_EQ(child.wait(5000), WaitStatus::Exited);
    EXPECT_EQ(std::filesystem::canonical(out.substr(0, out.find('\n'))),
              std::filesystem::canonical(dir.path()));
}

TEST(Process, ReadReportsTimeoutThenEnd) {
    ChildProcess child;
    SpawnOptions options;
    options.captureStdout = true;
    ASSERT_TRUE(child.start({"sleep", "0.3"}, options));
    char buffer[16];
    EXPECT_EQ(child.readOutput(buffer, sizeof buffer, 20).status, tlx::ReadStatus::Timeout);
    EXPECT_EQ(child.readOutput(buffer, sizeof buffer, 5000).status, tlx::ReadStatus::End);
    EXPECT_EQ(child.wait(), WaitStatus::Exited);
}

} // namespace
