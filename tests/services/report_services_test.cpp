// Report services against real peers on 127.0.0.1 started here: Python's http.server, pyftpdlib
// in active mode, a finger responder, the two data-server protocols, feedgrab, and hostile ones
// (stalling, endless, resetting, garbage).
#include "core/text.h"
#include "platform/process.h"
#include "services/historical_query.h"
#include "services/report_list.h"
#include "services/report_transfer.h"
#include "support/loopback.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tlx {
namespace {

namespace fs = std::filesystem;
using test::acceptsConnections;
using test::freeLoopbackPort;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The USGS feed layout: one feature per line, newest first.
constexpr const char* kFeed =
    "{\"type\":\"FeatureCollection\",\"features\":[\n"
    "{\"type\":\"Feature\",\"properties\":{\"mag\":4.5,\"place\":\"10 km SW of Ridgecrest, CA\","
    "\"time\":1700000000999},\"geometry\":{\"type\":\"Point\",\"coordinates\":[-117.75,35.6,7.6]},\"id\":"
    "\"a\"},\n"
    "{\"type\":\"Feature\",\"properties\":{\"mag\":6.1,\"place\":\"Fiji region\","
    "\"time\":1650000000500},\"geometry\":{\"type\":\"Point\",\"coordinates\":[178.3,-17.9,560.7]},\"id\":"
    "\"b\"},\n"
    "]}\n";

constexpr const char* kCsvList = "DATE,TIME,LAT,LON,DEPTH,MAG,TYPE,AGENCY\n"
                                 "2003/12/22,19:15:56.3,35.7,-121.1,7.6,6.5,Mw,NC\n"
                                 "2004/09/28,17:15:24.0,35.81,-120.37,7.9,6.0,Mw,NC\n";

class ReportServices : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        site_ = new test::TempDir;
        std::ofstream(site_->path() / "list.txt") << kCsvList;
        std::ofstream(site_->path() / "feed.json") << kFeed;
        std::ofstream(site_->path() / "slowreport") << "#!/bin/sh\necho working\nexec sleep 20\n";
        fs::permissions(site_->path() / "slowreport", fs::perms::owner_all);
        peers_ = new std::map<std::string, std::pair<int, ChildProcess>>;
        const auto start = [](const std::string& name, std::vector<std::string> argv) {
            auto& [port, child] = (*peers_)[name];
            port = freeLoopbackPort();
            for (std::string& a : argv)
                if (a == "PORT") a = std::to_string(port);
            SpawnOptions options;
            options.discardStderr = true;
            options.captureStdout = true;
            options.workingDirectory = site_->path().string();
            child.start(argv, options);
        };
        start("http", {"/usr/bin/python3", "-m", "http.server", "--bind", "127.0.0.1", "PORT"});
        start("ftp", {"/usr/bin/python3", TLX_REPORT_PEERS, "ftp", "PORT", site_->path().string()});
        for (const char* mode : {"finger", "line", "framed", "stall", "endless", "reset", "garbage"})
            start(mode, {"/usr/bin/python3", TLX_REPORT_PEERS, mode, "PORT"});
        for (auto& [name, peer] : *peers_)
            for (int i = 0; i < 200 && !acceptsConnections(peer.first); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    static void TearDownTestSuite() {
        for (auto& [name, peer] : *peers_)
            peer.second.kill(15);
        delete peers_;
        delete site_;
    }
    void SetUp() override {
        for (auto& [name, peer] : *peers_)
            if (!acceptsConnections(peer.first)) GTEST_SKIP() << "the " << name << " peer did not start";
    }

    static std::string at(const std::string& peer) { return "127.0.0.1:" + std::to_string(port(peer)); }
    static int port(const std::string& peer) { return (*peers_)[peer].first; }

    static ReportService service(const std::string& line) {
        ReportService s;
        EXPECT_TRUE(parseServiceLine(line, s)) << line;
        return s;
    }

    // 1 to 3 March 2024, widened by a day either side.
    static HistoricalQuery march() {
        HistoricalQuery q;
        std::string error;
        EXPECT_TRUE(queryFromValues({{2024, 3, 1}, {2024, 3, 3}, 2.5, 10}, q, error));
        return q;
    }

    test::TempDir dir_;
    static test::TempDir* site_;
    static std::map<std::string, std::pair<int, ChildProcess>>* peers_;
};

test::TempDir* ReportServices::site_ = nullptr;
std::map<std::string, std::pair<int, ChildProcess>>* ReportServices::peers_ = nullptr;

TEST(NetworkDat, ServiceLinesAndTheirReportFiles) {
    const struct {
        const char* line;
        bool offered;
        ServiceKind kind;
        const char* host;
        int port;
        const char* name;
        const char* shown;
    } cases[] = {
        {"http://quake.example.org/recent/list.html (Recent quakes)", true, ServiceKind::WebPage,
         "quake.example.org", 80, "list_html.rpt",
         "Recent quakes - http://quake.example.org/recent/list.html"},
        {"http:\\\\h.org\\a\\b@c.txt -l ( B list)", true, ServiceKind::WebPage, "h.org", 80, "c_txt.rpt",
         "B list - http:\\\\h.org\\a\\b@c.txt -l"},
        {"ftp://[::1]:2121/pub/q.rpt (FTP)", true, ServiceKind::FtpFile, "::1", 2121, "q_rpt.rpt", nullptr},
        {"data@svx.tellurix.org (line)", true, ServiceKind::DataServer, "svx.tellurix.org", 16012,
         "svx_tellurix_org.rpt", nullptr},
        {"data@quakes.example.net:7000 (framed)", true, ServiceKind::DataServer, "quakes.example.net", 7000,
         "quakes_example_net.rpt", nullptr},
        {"quake@finger.example.org (finger)", true, ServiceKind::Finger, "finger.example.org", 79,
         "finger_example_org.rpt", nullptr},
        {"exe:feedgrab|http://x/feed.json|-a (feed)", true, ServiceKind::Program, "", 0, "EventReport.rpt",
         nullptr},
        {"http://quake.example.org/list.html", false, ServiceKind::WebPage, "", 0, "", nullptr},
        {"http://ab/list.html (too short a host)", false, ServiceKind::WebPage, "", 0, "", nullptr},
        {"data@a.org (too short)", false, ServiceKind::WebPage, "", 0, "", nullptr},
        {"quake@localhost (no dot)", false, ServiceKind::WebPage, "", 0, "", nullptr},
        {"exe:../feedgrab|x (path)", false, ServiceKind::WebPage, "", 0, "", nullptr},
        {"http://h.org:99999/x (port)", false, ServiceKind::WebPage, "", 0, "", nullptr},
    };
    for (const auto& c : cases) {
        ReportService s;
        ASSERT_EQ(parseServiceLine(c.line, s), c.offered) << c.line;
        if (!c.offered) continue;
        EXPECT_EQ(s.kind, c.kind) << c.line;
        EXPECT_EQ(s.host, c.host) << c.line;
        EXPECT_EQ(s.port, c.port) << c.line;
        EXPECT_EQ(s.reportName, c.name) << c.line;
        if (c.shown) {
            EXPECT_EQ(serviceListText(s), c.shown);
        }
    }
    ReportService s;
    parseServiceLine("data@svx.tellurix.org (x)", s);
    EXPECT_TRUE(s.lineProtocol);
    parseServiceLine("data@quakes.example.net (x)", s);
    EXPECT_FALSE(s.lineProtocol);

    NetworkServices list;
    list.parse("http://h.org/a.txt (A)\r\nnot a service\ndata@quakes.example.net (D)\n");
    EXPECT_EQ(list.offered().size(), 2u);
    EXPECT_EQ(list.offered(true).size(), 1u);
    std::string error;
    EXPECT_FALSE(list.add("nonsense", error));
    EXPECT_EQ(error, "Invalid Network Service String");
    EXPECT_TRUE(list.add("http:\\\\h.org\\a.txt (again)", error));
    EXPECT_FALSE(list.changed());
    EXPECT_TRUE(list.add("quake@f.example.org", error));
    list.remove(list.offered()[0]);
    EXPECT_EQ(list.text(),
              "not a service\ndata@quakes.example.net (D)\nquake@f.example.org (quake@f.example.org)\n");
}

TEST(NetworkDat, HistoricalQueryDates) {
    const struct {
        CivilDate start, end;
        const char* error;
        const char* sent;
    } cases[] = {
        {{2024, 3, 1}, {2024, 3, 3}, "", "2024/02/29 2024/03/04"},
        {{2023, 3, 1}, {2023, 3, 3}, "", "2023/02/28 2023/03/04"},
        {{2023, 12, 31}, {2024, 1, 1}, "", "2023/12/30 2024/01/02"},
        {{2023, 3, 1}, {2023, 3, 1}, "Start or end time error", ""},
        {{2023, 2, 30}, {2023, 3, 1}, "Start time error", ""},
        {{2023, 2, 1}, {2101, 3, 1}, "End time error", ""},
    };
    for (const auto& c : cases) {
        HistoricalQuery q;
        std::string error;
        EXPECT_EQ(queryFromValues({c.start, c.end, 2.5, 10}, q, error), *c.error == 0);
        EXPECT_EQ(error, c.error);
        if (*c.error == 0) {
            EXPECT_EQ(format("%04d/%02d/%02d %04d/%02d/%02d", q.start.year, q.start.month, q.start.day,
                             q.stop.year, q.stop.month, q.stop.day),
                      c.sent);
        }
    }
    // Connect with an open event: the day either side of the record start.
    const HistoricalQuery q = queryAroundEvent({2024, 3, 1, 0, 30, 0, 0, 0});
    EXPECT_EQ(std::vector<int>({q.start.month, q.start.day, q.stop.month, q.stop.day}),
              std::vector<int>({2, 29, 3, 2}));
    const HistoricalValues recent = recentValues(1709251200); // 2024-03-01 00:00 UTC
    EXPECT_EQ(std::vector<int>({recent.start.month, recent.start.day, recent.end.day}),
              std::vector<int>({2, 27, 1}));
}

TEST_F(ReportServices, FetchesFromEachKindOfService) {
    ChildProcess wget;
    SpawnOptions quiet;
    quiet.captureStdout = true;
    const bool haveWget = wget.start({"wget", "--version"}, quiet);
    wget.readAllOutput(0);
    const struct {
        std::string line;
        const char* file;
        std::string contains;
        std::size_t rows;
    } cases[] = {
        {"http://" + at("http") + "/list.txt (Web list)", "list_txt.rpt", "[Web list]\nHTTP/1.0 200 OK", 2},
        {"ftp://" + at("ftp") + "/list.txt (FTP list)", "list_txt.rpt",
         "[127.0.0.1]\n" + std::string(kCsvList), 2},
        {"quake@" + at("finger") + " -l (finger)", "127_0_0_1.rpt",
         "[127.0.0.1]\n[query /W quake]\nDATE-(UTC)", 2},
        {"data@localhost:" + std::to_string(port("line")) + " (line)", "localhost.rpt",
         "# GET 2024/02/29,2024/03/04,2.5,10,,,,,\n", 2},
        {"data@" + at("framed") + " (framed)", "127_0_0_1.rpt",
         "# MINMAG   2.5|STARTDATE2024/02/29|STOPDATE 2024/03/04|GET      \n"
         "2003/12/22,19:15:56.3,35.7,-121.1,7.6,6.5,Mw,NC\n2004/09/28",
         2},
        {"exe:feedgrab|http://" + at("http") + "/feed.json (feed)", "EventReport.rpt",
         std::string(kFeedReportHeading) + "\n2022/04/15 05:20:00 -17.900  178.300  M6.1 560.7 Fiji region\n",
         2},
    };
    ReportList list;
    list.loadTypes({test::sourceDir() / "data"});
    TransferSettings settings;
    settings.programDirectory = fs::path(TLX_FEEDGRAB_EXE).parent_path();
    for (const auto& c : cases) {
        if (c.line.starts_with("exe:") && !haveWget) continue;
        ReportTransfer transfer;
        ASSERT_TRUE(transfer.start(service(c.line), march(), dir_.path(), settings)) << c.line;
        transfer.join();
        ASSERT_TRUE(transfer.succeeded()) << c.line << ": " << transfer.status();
        EXPECT_EQ(transfer.status(), "Done...");
        EXPECT_EQ(transfer.reportFile(), dir_ / c.file);
        const std::string text = readText(transfer.reportFile());
        EXPECT_NE(text.find(c.contains), std::string::npos) << c.line << ":\n" << text;
        EXPECT_EQ(transfer.bytesReceived(),
                  text.size() - (text.find('\n') + 1) * !c.line.starts_with("exe:"));
        ASSERT_TRUE(list.load(transfer.reportFile(), -1, true));
        EXPECT_EQ(list.rows().size(), c.rows) << c.line;
    }
}

TEST_F(ReportServices, BadServersEndTheTransferAndKeepTheLastGoodFile) {
    const struct {
        std::string line;
        int timeoutMs;
        std::uint64_t maxBytes;
        std::string error;
    } cases[] = {
        {"http://" + at("stall") + "/x.txt (stall)", 500, 64u << 20, "recv failed: Timed out"},
        {"http://" + at("endless") + "/x.txt (endless)", 5000, 1u << 20,
         "Stopped: the report is larger than 1 MB"},
        {"http://" + at("reset") + "/x.txt (reset)", 5000, 64u << 20,
         "recv failed: Connection reset by peer"},
        {"http://127.0.0.1:" + std::to_string(freeLoopbackPort()) + "/x.txt (refused)", 5000, 64u << 20,
         "connect failed."},
        {"ftp://" + at("ftp") + "/missing.txt (missing)", 5000, 64u << 20, "File Not Found"},
        {"ftp://" + at("garbage") + "/x.txt (garbage)", 2000, 64u << 20, "Cannot connect to 127.0.0.1"},
        {"data@" + at("garbage") + " (garbage)", 2000, 64u << 20, "Error sending information to server."},
        {"data@" + at("stall") + " (stall)", 500, 64u << 20, "Error sending information to server."},
        {"exe:slowreport|x (slow)", 5000, 64u << 20, "Timeout Error"},
    };
    for (const auto& c : cases) {
        const ReportService s = service(c.line);
        std::ofstream(dir_ / s.reportName) << "good old report\n";
        TransferSettings settings;
        settings.timeoutMs = c.timeoutMs;
        settings.maxBytes = c.maxBytes;
        settings.programTimeoutMs = 500;
        settings.programDirectory = site_->path();
        ReportTransfer transfer;
        const auto begin = std::chrono::steady_clock::now();
        ASSERT_TRUE(transfer.start(s, march(), dir_.path(), settings)) << c.line;
        transfer.join();
        EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5)) << c.line;
        EXPECT_FALSE(transfer.succeeded()) << c.line;
        EXPECT_EQ(transfer.status(), c.error) << c.line;
        EXPECT_EQ(readText(dir_ / s.reportName), "good old report\n") << c.line;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_.path()), fs::directory_iterator()), 1) << c.line;
        fs::remove(dir_ / s.reportName);
    }
}

TEST_F(ReportServices, CancelEndsAStalledTransfer) {
    TransferSettings settings;
    settings.programDirectory = site_->path();
    for (const std::string& line :
         {"http://" + at("stall") + "/x.txt (stall)", std::string("exe:slowreport|x (slow)")}) {
        ReportTransfer transfer;
        ASSERT_TRUE(transfer.start(service(line), march(), dir_.path(), settings));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_FALSE(transfer.finished());
        EXPECT_NE(transfer.status(), "");
        const auto begin = std::chrono::steady_clock::now();
        transfer.cancel();
        transfer.join();
        EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(500));
        EXPECT_EQ(transfer.status(), "Canceled");
        EXPECT_TRUE(fs::is_empty(dir_.path()));
    }
}

} // namespace
} // namespace tlx
