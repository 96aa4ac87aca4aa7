// feedgrab run as the main program runs it: the real wget fetches generated feeds from a
// loopback HTTP server (127.0.0.1 only) started for these tests.
#include "platform/process.h"

#include "support/loopback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <regex>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using tlx::test::acceptsConnections;
using tlx::test::freeLoopbackPort;
using tlx::test::TempDir;

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// One feed line as the USGS GeoJSON feeds write it; fields are raw JSON texts.
struct Feature {
    std::string mag, place, time, coords;
};

std::string featureLine(const Feature& f) {
    std::string props = "\"mag\":" + f.mag;
    if (!f.place.empty()) props += ",\"place\":" + f.place;
    if (!f.time.empty()) props += ",\"time\":" + f.time;
    props +=
        ",\"updated\":1700000100000,\"tz\":null,\"url\":\"https://example.invalid/ev\",\"felt\":null,"
        "\"status\":\"reviewed\",\"tsunami\":0,\"sig\":284,\"net\":\"ci\",\"code\":\"4\",\"magType\":\"ml\","
        "\"type\":\"earthquake\",\"title\":\"M 1\"";
    std::string geometry = "\"type\":\"Point\"";
    if (!f.coords.empty()) geometry += ",\"coordinates\":[" + f.coords + "]";
    return "{\"type\":\"Feature\",\"properties\":{" + props + "},\"geometry\":{" + geometry +
           "},\"id\":\"ci4\"},\n";
}

std::string feed(const std::vector<Feature>& features, bool closed = true) {
    std::string text =
        "{\"type\":\"FeatureCollection\",\"metadata\":{\"generated\":1700000200000,\"status\":200,"
        "\"title\":\"Test feed\",\"count\":" +
        std::to_string(features.size()) + "},\"features\":[\n";
    for (const Feature& f : features)
        text += featureLine(f);
    if (closed) text += "],\"bbox\":[-180,-90,0,180,90,700]}\n";
    return text;
}

// The normal feed, newest first.
const std::vector<Feature> kNormal = {
    {"4.5", "\"10 km SW of Ridgecrest, CA\"", "1700000000999", "-117.75,35.6,7.6"},
    {"2.34", "\"Off the coast of Oregon\"", "1690000000000", "-125.1251,44.0626,15"},
    {"6.1", "\"Fiji region\"", "1650000000500", "178.3,-17.9,560.7"},
    {"null", "\"5 km N of Tinyville\"", "1600000000000", "5.0,5.5,-1.5"},
    {"-0.4", "\"3 km E of Low, UT\"", "1500000000000", "-75.0,-5.5,0.0"},
};

// Worked out by hand from the column rules: oldest first, place from column 49.
const std::vector<std::string> kNormalFileLines = {
    "2017/07/14 02:40:00  -5.500  -75.000 M-0.4   0.0 3 km E of Low, UT",
    "2020/09/13 12:26:40   5.500    5.000  M0.0  -1.5 5 km N of Tinyville",
    "2022/04/15 05:20:00 -17.900  178.300  M6.1 560.7 Fiji region",
    "2023/07/22 04:26:40  44.063 -125.125  M2.3  15.0 Off the coast of Oregon",
    "2023/11/14 22:13:20  35.600 -117.750  M4.5   7.6 10 km SW of Ridgecrest, CA",
};

const std::string kRunning = "Running wget.exe to retrive report information. Please wait...\n";

struct RunResult {
    int code = -1;
    std::string out;
};

class FeedgrabLoopback : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        site_ = new TempDir;
        writeText(site_->path() / "normal.json", feed(kNormal));
        writeText(site_->path() / "empty.json", feed({}));
        writeText(site_->path() / "fields.json",
                  feed({{"3.1", "\"good one\"", "1700000000000", "10,20,30"},
                        {"3.2", "", "1700000000000", "10,20,30"},
                        {"3.3", "null", "1700000000000", "10,20,30"},
                        {"3.4", "\"no time\"", "", "10,20,30"},
                        {"3.5", "\"no coordinates\"", "1700000000000", ""},
                        {"null", "\"null magnitude\"", "1700000000000", "10,20,null"}}));
        std::string truncated = feed(kNormal, false);
        truncated.resize(truncated.size() - 40); // the oldest feature's line is cut off
        writeText(site_->path() / "truncated.json", truncated);
        std::vector<Feature> hostile = {
            {"5", "\"" + std::string(3000, 'L') + "\"", "1700000000000",
             "1,2,3"}, // time cut off with the text
            {"5", "\"" + std::string(1500, 'L') + "\"", "1700000000000", "1,2,3"},
            {"5", "\"ctl\x01\x1b[31m\r\x7f\xff\xfe\xc3\x28 end\"", "1700000000000", "1,2,3"},
            {"1e308", "\"huge magnitude\"", "1700000000000", "1,2,3"},
            {"5", "\"huge depth\"", "1700000000000", "1,2,1e300"},
            {"5", "\"\\\"escaped\\\" quotes\"", "1700000000000", "1,2,3"},
            {"5", "\"short\"", "99999999999999999999999", "1,2,3"},
        };
        writeText(site_->path() / "hostile.json", feed(hostile) + std::string(10000, '\xff') + "\n");
        std::string huge = "{\"type\":\"FeatureCollection\",\"features\":[\n";
        for (int i = 0; i < 100000; ++i) {
            const long long ms = 1700000000000LL - 1000LL * i;
            huge += "{\"type\":\"Feature\",\"properties\":{\"mag\":" + std::to_string(i % 70 / 10.0) +
                    ",\"place\":\"event " + std::to_string(i) + "\",\"time\":" + std::to_string(ms) +
                    "},\"geometry\":{\"type\":\"Point\",\"coordinates\":[-120.5,36.25,8.5]},\"id\":\"x\"},\n";
        }
        writeText(site_->path() / "huge.json", huge + "]}\n");

        port_ = freeLoopbackPort();
        server_ = new tlx::ChildProcess;
        tlx::SpawnOptions options;
        options.discardStderr = true;
        options.captureStdout = true; // its one start-up line stays in the pipe
        options.workingDirectory = site_->path().string();
        if (!server_->start(
                {"/usr/bin/python3", "-m", "http.server", "--bind", "127.0.0.1", std::to_string(port_)},
                options))
            return;
        for (int i = 0; i < 200 && !acceptsConnections(port_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }

    static void TearDownTestSuite() {
        if (server_) server_->kill(15);
        delete server_; // waits for it
        delete site_;
        server_ = nullptr;
        site_ = nullptr;
    }

    void SetUp() override {
        if (!acceptsConnections(port_)) GTEST_SKIP() << "the loopback HTTP server did not start";
        tlx::ChildProcess wget;
        tlx::SpawnOptions quiet;
        quiet.captureStdout = true;
        if (!wget.start({"wget", "--version"}, quiet)) GTEST_SKIP() << "wget is not installed";
        wget.readAllOutput(0);
    }

    static std::string url(const std::string& name) {
        return "http://127.0.0.1:" + std::to_string(port_) + "/" + name;
    }

    RunResult feedgrab(std::vector<std::string> args, const std::vector<std::string>& prefix = {}) {
        std::vector<std::string> argv = prefix;
        argv.push_back(TLX_FEEDGRAB_EXE);
        argv.insert(argv.end(), args.begin(), args.end());
        tlx::ChildProcess child;
        tlx::SpawnOptions options;
        options.captureStdout = true;
        options.workingDirectory = work_.path().string();
        RunResult run;
        if (!child.start(argv, options)) return run;
        run.out = child.readAllOutput(64 << 20);
        if (child.wait(60000) == tlx::WaitStatus::Exited) run.code = child.exitCode();
        EXPECT_FALSE(fs::exists(work_ / "__usgstmp")) << "the download file is left behind";
        return run;
    }

    std::string logText() { return readText(work_ / "feedgrab.log"); }

    TempDir work_;
    static TempDir* site_;
    static tlx::ChildProcess* server_;
    static int port_;
};

TempDir* FeedgrabLoopback::site_ = nullptr;
tlx::ChildProcess* FeedgrabLoopback::server_ = nullptr;
int FeedgrabLoopback::port_ = -1;

TEST_F(FeedgrabLoopback, NormalFeedToFileMatchesTheColumnsLineForLine) {
    const RunResult run = feedgrab({"-a", "-f", "out.rpt", url("normal.json")});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, kRunning);
    EXPECT_EQ(linesOf(readText(work_ / "out.rpt")), kNormalFileLines);
    EXPECT_EQ(readText(work_ / "out.rpt").back(), '\n');
}

TEST_F(FeedgrabLoopback, NormalFeedOnTheConsole) {
    const RunResult run = feedgrab({url("normal.json")});
    EXPECT_EQ(run.code, 0);
    const std::vector<std::string> expected = {
        "Running wget.exe to retrive report information. Please wait...",
        "       TIME          LAT     LONG   MAG    DEP          LOCATION",
        "07/14/17 02:40:00  -5.500  -75.000  M-0.4   0.0  3 km E of Low, UT",
        "09/13/20 12:26:40   5.500    5.000  M0.0  -1.5   5 km N of Tinyville",
        "04/15/22 05:20:00 -17.900  178.300  M6.1 560.7   Fiji region",
        "07/22/23 04:26:40  44.063 -125.125  M2.3  15.0   Off the coast of Oregon",
        "11/14/23 22:13:20  35.600 -117.750  M4.5   7.6   10 km SW of Ridgecrest, CA",
    };
    EXPECT_EQ(linesOf(run.out), expected);
}

TEST_F(FeedgrabLoopback, FilterFileKeepsPassingEventsWithDistance) {
    writeText(work_ / "home.txt", "# station\n47.25 -122.5 Seattle\n3.0 2000\n2.0 500\n6.0 10000\n");
    const RunResult run = feedgrab({"-f", "out.rpt", "-l", "home.txt", url("normal.json")});
    EXPECT_EQ(run.out, kRunning);
    const std::vector<std::string> expected = {
        kNormalFileLines[2] + " - 9313km from Seattle",
        kNormalFileLines[3] + " - 409km from Seattle",
        kNormalFileLines[4] + " - 1353km from Seattle",
    };
    EXPECT_EQ(linesOf(readText(work_ / "out.rpt")), expected);

    const RunResult missing = feedgrab({"-f", "out.rpt", "-l", "nofile.txt", url("normal.json")});
    EXPECT_EQ(missing.out, kRunning + "Can't open Filter File\n");
    const std::vector<std::string> lines = linesOf(readText(work_ / "out.rpt"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[4], kNormalFileLines[4] + " - 12485km from ");
}

TEST_F(FeedgrabLoopback, EmptyFeedSaysNoData) {
    const RunResult console = feedgrab({url("empty.json")});
    EXPECT_EQ(console.code, 0);
    EXPECT_EQ(console.out, kRunning + "Error: No Data\n");
    writeText(work_ / "out.rpt", "old report\n");
    const RunResult file = feedgrab({"-f", "out.rpt", url("empty.json")});
    EXPECT_EQ(file.out, kRunning + "Error: No Data\n");
    EXPECT_EQ(readText(work_ / "out.rpt"), ""); // the old list does not pass for a new one
}

TEST_F(FeedgrabLoopback, MissingAndNullFieldsAreReportedAndSkipped) {
    const RunResult run = feedgrab({"-f", "out.rpt", url("fields.json")});
    EXPECT_EQ(run.code, 0);
    // Oldest first: null magnitude (kept), no coordinates, no time, null place, no place, good one.
    EXPECT_EQ(run.out, kRunning + "No location\nNo Time\n");
    const std::vector<std::string> expected = {
        "2023/11/14 22:13:20  20.000   10.000  M0.0   0.0 null magnitude",
        "2023/11/14 22:13:20  20.000   10.000  M3.1  30.0 good one",
    };
    EXPECT_EQ(linesOf(readText(work_ / "out.rpt")), expected);
    const std::vector<std::string> log = linesOf(logText());
    ASSERT_EQ(log.size(), 2u);
    const std::regex stamp(R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d No place)");
    for (const std::string& line : log)
        EXPECT_TRUE(std::regex_match(line, stamp)) << line;
}

TEST_F(FeedgrabLoopback, TruncatedFeedDropsTheCutLineOnly) {
    const RunResult run = feedgrab({"-f", "out.rpt", url("truncated.json")});
    EXPECT_EQ(run.code, 0);
    const std::vector<std::string> expected(kNormalFileLines.begin() + 1, kNormalFileLines.end());
    EXPECT_EQ(linesOf(readText(work_ / "out.rpt")), expected);
}

TEST_F(FeedgrabLoopback, HugeFeedStopsAtTheStoreLimit) {
    const RunResult run = feedgrab({"-f", "out.rpt", url("huge.json")});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, kRunning);
    const std::vector<std::string> lines = linesOf(readText(work_ / "out.rpt"));
    ASSERT_EQ(lines.size(), 16000u);
    // The newest 16000 events (the feed's first lines), oldest first: event 15999 is 15999 s older.
    EXPECT_EQ(lines.front(), "2023/11/14 17:46:41  36.250 -120.500  M3.9   8.5 event 15999");
    EXPECT_EQ(lines.back(), "2023/11/14 22:13:20  36.250 -120.500  M0.0   8.5 event 0");
    EXPECT_NE(logText().find(" Too many lines\n"), std::string::npos);
}

TEST_F(FeedgrabLoopback, HostileStringsStayInsideTheirFields) {
    const RunResult run = feedgrab({"-f", "out.rpt", url("hostile.json")});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, kRunning + "No Time\nNo Time\n");
    const std::vector<std::string> lines = linesOf(readText(work_ / "out.rpt"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "2023/11/14 22:13:20   2.000    1.000  M5.0   3.0 \\");
    EXPECT_EQ(lines[1], "2023/11/14 22:13:20   2.000    1.000  M5.0   3.0 ctl  [31m  \xff\xfe\xc3\x28 end");
    EXPECT_EQ(lines[2], "2023/11/14 22:13:20   2.000    1.000  M5.0   3.0 " + std::string(79, 'L'));
    EXPECT_NE(logText().find("Bad numbers"), std::string::npos);
}

TEST_F(FeedgrabLoopback, FailedDownloadsLeaveTheOldReport) {
    writeText(work_ / "out.rpt", "old report\n");
    const int closedPort = freeLoopbackPort();
    for (const std::string& address :
         {url("not-there.json"), "http://127.0.0.1:" + std::to_string(closedPort) + "/x"}) {
        const RunResult run = feedgrab({"-f", "out.rpt", address});
        EXPECT_EQ(run.code, 0) << address;
        EXPECT_EQ(run.out, kRunning) << address;
        EXPECT_EQ(readText(work_ / "out.rpt"), "old report\n") << address;
    }
}

TEST_F(FeedgrabLoopback, UsageAndMissingDownloader) {
    const std::string usage = "\nfeedgrab -? | [-f <file>] [-h] <url>\n"
                              "     -a            - All events\n"
                              "     -f OutFile    - File in which the web-page is saved\n"
                              "     -l FilterFile - Filter and display distance to event\n"
                              "     -?            - this help-message\n";
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"-?"}, {"-z", url("normal.json")}, {"-f"}, {}}) {
        const RunResult run = feedgrab(args);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.out, usage);
    }
    const RunResult run = feedgrab({url("normal.json")}, {"/usr/bin/env", "PATH=" + work_.path().string()});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, kRunning + "Create Process Failed\n");
}

} // namespace
