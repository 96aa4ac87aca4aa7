// The search criteria exactly as stated (tables), and generated folder trees indexed and searched
// live and through the database, both compared with a brute-force filter written here.
#include "browser/event_database.h"
#include "browser/file_search.h"
#include "core/debug_log.h"
#include "core/text.h"
#include "format_fixtures.h"
#include "mseed_builder.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

namespace tlx::browser {
namespace {
namespace fs = std::filesystem;

TEST(SearchCriteria, RangeDateComponentAndStationRules) {
    struct Range {
        double value, lo, hi;
        bool zero, pass;
    };
    const Range ranges[] = {
        {5, 0, 0, false, true},    {0, 0, 0, false, true},     {-1, 0, 0, false, true}, // no bounds
        {5, 4, 6, false, true},    {4, 4, 6, false, true},     {6, 4, 6, false, true},  // inclusive
        {3.9, 4, 6, false, false}, {6.1, 4, 6, false, false},  {0, 0, 6, false, false}, // value must be > 0
        {0, 4, 0, false, false},   {9, 4, 0, false, true},     {2, 0, 6, false, true},
        {0, 0, 6, true, true},     {0, 0.1, 800, true, false}, {0, 0.1, 0, true, false}, // depth 0
        {-1, 0, 6, true, false},
    };
    for (const Range& r : ranges)
        EXPECT_EQ(rangeTest(r.value, r.lo, r.hi, r.zero), r.pass)
            << r.value << " in " << r.lo << ".." << r.hi;

    struct Date {
        const char* text;
        int y, m, d; // 0: does not parse
    };
    const Date dates[] = {{"3/1/05", 2005, 3, 1},
                          {"3/1/85", 1985, 3, 1},
                          {"12/31/79", 2079, 12, 31},
                          {"1/2/80", 1980, 1, 2},
                          {"1/2/0", 2000, 1, 2},
                          {"1/2/100", 100, 1, 2},
                          {"02/29/2024 12:30", 2024, 2, 29},
                          {"13/1/05", 0, 0, 0},
                          {"1/32/05", 0, 0, 0},
                          {"1/2/-5", 0, 0, 0},
                          {"1-2-05", 0, 0, 0},
                          {"", 0, 0, 0}};
    for (const Date& d : dates) {
        const auto got = parseSearchDate(d.text);
        if (d.y == 0)
            EXPECT_FALSE(got) << d.text;
        else
            EXPECT_EQ(got, daysFromCivil(d.y, d.m, d.d)) << d.text;
    }

    SearchCriteria c = parseCriteria(kDefaultFileSearch);
    c.fromDate = "3/1/05";
    c.toDate = "bad date"; // no limit
    c.acceptN = false;
    c.channelPattern = "ab*";
    const CandidateFilter f(c);
    EXPECT_FALSE(f.dateTest(daysFromCivil(2005, 2, 28)));
    EXPECT_TRUE(f.dateTest(daysFromCivil(2005, 3, 1)));
    EXPECT_TRUE(f.dateTest(daysFromCivil(2070, 1, 1)));
    for (auto [letter, pass] : {std::pair{'Z', true}, {'z', true}, {'N', false}, {'e', true}, {'?', false}})
        EXPECT_EQ(f.componentTest(letter), pass) << letter;
    for (auto [station, pass] : {std::pair{"ABC", true}, {"ab", true}, {"A", false}, {"XAB", false}})
        EXPECT_EQ(f.stationTest(station), pass) << station;
    c.channelPattern = "abc";
    c.acceptZ = c.acceptN = c.acceptE = false; // all off: every component passes
    const CandidateFilter exact(c);
    EXPECT_TRUE(exact.stationTest("ABC"));
    EXPECT_FALSE(exact.stationTest("ABCD"));
    EXPECT_TRUE(exact.componentTest('?'));
    c.channelPattern = "*X";
    EXPECT_TRUE(CandidateFilter(c).stationTest("anything"));
}

TEST(SearchCriteria, SettingLineKeepsItsFifteenFields) {
    const SearchCriteria d = parseCriteria(kDefaultFileSearch);
    EXPECT_EQ(formatCriteria(d), kDefaultFileSearch);
    EXPECT_TRUE(d.fromDate.empty() && d.channelPattern.empty());
    // Line breaks also separate; a blank-led text is empty and an empty number is no limit.
    const SearchCriteria c = parseCriteria("0,1,7,2.5, \r0.1,12000,1/2/05,12/31/05,AB*,1,0,1, \n700");
    EXPECT_FALSE(c.subdirectories);
    EXPECT_TRUE(c.useDatabase);
    EXPECT_EQ(c.maxFiles, 7);
    EXPECT_EQ(c.maxMag, "");
    EXPECT_EQ(c.minDist, "0.1");
    EXPECT_EQ(c.toDate, "12/31/05");
    EXPECT_FALSE(c.acceptN);
    EXPECT_EQ(c.minDepth, "");
    EXPECT_EQ(c.maxDepth, "700");
    EXPECT_EQ(CandidateFilter(c).maxMag, 0);
}

// ---- generated trees ----

std::vector<std::uint8_t> smallEvent() {
    test::Svx4Spec s;
    s.samples = test::rampSignal(100);
    return test::buildSvx4(s);
}

struct Planned {
    std::string path;
    std::string station;
    char orientation;
    int year, month, day;
    double lat, lon;
    struct Event {
        double lat, lon, depth;
        int magHundredths;
    };
    std::vector<Event> events;
};

// The great circle on a sphere: close enough to the program's geocentric one that bounds kept 2 %
// away from every distance decide alike.
double sphereKm(double lat1, double lon1, double lat2, double lon2) {
    const double r = std::numbers::pi / 180;
    const double c = std::sin(lat1 * r) * std::sin(lat2 * r) +
                     std::cos(lat1 * r) * std::cos(lat2 * r) * std::cos((lon2 - lon1) * r);
    return std::acos(std::clamp(c, -1.0, 1.0)) / r * 111.1775;
}

bool inRange(double v, double lo, double hi, bool zero) {
    if (lo == 0 && hi == 0) return true;
    if (zero ? v < 0 : v <= 0) return false;
    return (lo == 0 || v >= lo) && (hi == 0 || v <= hi);
}

double number(const std::string& s) {
    return s.empty() ? 0 : std::stod(s);
}

bool otherTests(const Planned& p, const SearchCriteria& c) {
    const std::int64_t day = daysFromCivil(p.year, p.month, p.day);
    if (!c.fromDate.empty() && day < *parseSearchDate(c.fromDate)) return false;
    if (!c.toDate.empty() && day > *parseSearchDate(c.toDate)) return false;
    if (c.acceptZ || c.acceptN || c.acceptE) {
        const bool ok = (p.orientation == 'Z' && c.acceptZ) || (p.orientation == 'N' && c.acceptN) ||
                        (p.orientation == 'E' && c.acceptE);
        if (!ok) return false;
    }
    const std::string pat = toUpper(c.channelPattern);
    if (pat.empty() || pat[0] == '*') return true;
    const auto star = pat.find('*');
    const std::string st = toUpper(p.station);
    return star == std::string::npos ? st == pat : st.substr(0, star) == pat.substr(0, star);
}

std::vector<std::string> bruteDatabase(const std::vector<Planned>& files, const SearchCriteria& c) {
    std::vector<std::string> out;
    for (const Planned& p : files) {
        std::vector<Planned::Event> lines = p.events;
        if (lines.empty()) lines.push_back({p.lat, p.lon, 0, 0});
        for (const Planned::Event& e : lines) {
            const double km = p.events.empty() ? 0 : std::floor(sphereKm(p.lat, p.lon, e.lat, e.lon));
            if (inRange(e.magHundredths / 100.0, number(c.minMag), number(c.maxMag), false) &&
                inRange(km, number(c.minDist), number(c.maxDist), false) &&
                inRange(e.depth, number(c.minDepth), number(c.maxDepth), true) && otherTests(p, c) &&
                static_cast<int>(out.size()) < c.maxFiles)
                out.push_back(p.path);
        }
    }
    return out;
}

std::vector<std::string> bruteLive(const std::vector<Planned>& files, const SearchCriteria& c) {
    std::vector<std::string> out;
    const bool bound = number(c.minMag) || number(c.maxMag) || number(c.minDist) || number(c.maxDist);
    const bool bothDepths = number(c.minDepth) && number(c.maxDepth);
    for (const Planned& p : files) {
        if (!bound || p.events.empty()) continue;
        bool mag = false, dist = false, depth = false, zeroMag = false;
        for (const Planned::Event& e : p.events) {
            zeroMag = zeroMag || e.magHundredths == 0;
            mag = mag || inRange(e.magHundredths / 100.0, number(c.minMag), number(c.maxMag), false);
            dist = dist ||
                   inRange(sphereKm(p.lat, p.lon, e.lat, e.lon), number(c.minDist), number(c.maxDist), false);
            depth = depth || inRange(e.depth, number(c.minDepth), number(c.maxDepth), bothDepths);
        }
        if (!zeroMag && mag && dist && depth && otherTests(p, c)) out.push_back(p.path);
    }
    return out;
}

// Folders a, a/b, a/b/c and c (name order is search order); files in each in name order.
struct Tree {
    test::TempDir dir;
    std::vector<Planned> files; // the event files in the order a search meets them

    Tree() {
        const char* folders[] = {"", "a", "a/b", "a/b/c", "c"};
        const char* stations[] = {"ABC", "ab", "ABD", "XYZ"};
        unsigned seed = 7;
        auto next = [&seed](int n) {
            seed = seed * 1103515245u + 12345u;
            return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
        };
        for (const char* folder : folders) {
            fs::create_directories(dir / folder);
            for (int i = 0; i < 12; ++i) {
                Planned p;
                p.path = (dir.path() / folder / format("ev%02d.svx", i)).lexically_normal().string();
                p.station = stations[next(4)];
                p.orientation = "ZNE"[next(3)];
                p.year = 2003 + next(20);
                p.month = 1 + next(12);
                p.day = 1 + next(28);
                p.lat = 40 + next(10);
                p.lon = -100 + next(20);
                const int events = i % 6 == 0 ? 0 : i % 6 == 5 ? 2 : 1;
                for (int e = 0; e < events; ++e)
                    p.events.push_back({p.lat - 30 + next(60), p.lon + next(90),
                                        next(5) == 0 ? 0.0 : 5.0 * next(120),
                                        next(8) == 0 ? 0 : 100 + 25 * next(24)});
                files.push_back(p);
                test::Svx4Spec s;
                s.sensorId = p.station;
                s.orientation = p.orientation;
                s.start = {p.year, p.month, p.day, 23, 59, 59, 0};
                s.latitude = p.lat;
                s.longitude = p.lon;
                s.samples = test::rampSignal(100);
                for (const Planned::Event& e : p.events)
                    s.blocks.push_back(test::eventBlock({}, e.lat, e.lon, e.depth,
                                                        static_cast<std::int16_t>(e.magHundredths)));
                test::writeBytes(p.path, test::buildSvx4(s));
            }
        }
        // Never listed: damaged, foreign, too short; GSE2.0 files are left out of both searches.
        auto damaged = smallEvent();
        damaged.resize(120);
        test::writeBytes(dir / "a/b/damaged.svx", damaged);
        test::writeBytes(dir / "a/notes.txt", test::bytesOf("not an event file\n"));
        // A link back to the root would repeat the tree fifteen times over if it were followed.
        fs::create_directory_symlink(dir.path(), dir / "a/loop");
        if (const fs::path shared = test::sharedDataDir(); !shared.empty())
            fs::copy_file(shared / "waveforms/gse2/gse2mseed/1min.int.gse", dir / "a/b/c/z.gse");
    }
};

// A distance bound near `wanted` that no event distance of the tree comes within 2 % of.
std::string clearBound(const Tree& tree, double wanted) {
    for (;; wanted *= 1.03) {
        bool clear = true;
        for (const Planned& p : tree.files)
            for (const Planned::Event& e : p.events)
                clear = clear && std::fabs(sphereKm(p.lat, p.lon, e.lat, e.lon) - wanted) > wanted * 0.02;
        if (clear) return format("%.0f", wanted);
    }
}

std::vector<SearchCriteria> criteriaTable(const Tree& tree) {
    std::vector<SearchCriteria> out;
    SearchCriteria base = parseCriteria(kDefaultFileSearch);
    base.maxFiles = 1000;
    base.minDist = clearBound(tree, 100);
    base.maxDist = clearBound(tree, 12000);
    out.push_back(base);
    SearchCriteria c = base;
    c.minMag = "3.0";
    c.maxMag = "5.5";
    c.minDepth = c.maxDepth = ""; // depth unbounded
    out.push_back(c);
    c = base;
    c.minMag = c.maxMag = c.minDist = c.maxDist = ""; // live: nothing matches
    c.minDepth = "";
    out.push_back(c);
    c = base;
    c.minDepth = "";
    c.maxDepth = "300"; // a depth of 0 passes the database only
    c.fromDate = "1/1/10";
    c.toDate = "12/31/18";
    c.channelPattern = "ab*";
    out.push_back(c);
    c = base;
    c.acceptN = c.acceptE = false;
    c.channelPattern = "xyz";
    c.minDist = "";
    c.maxDist = clearBound(tree, 3000);
    out.push_back(c);
    c = base;
    c.maxFiles = 5;
    out.push_back(c);
    return out;
}

TEST(FileSearch, GeneratedTreeLiveAndIndexedAgreeWithBruteForce) {
    Tree tree;
    RecordingMessages quiet;
    EventLoader loader(quiet);
    const fs::path db = tree.dir / "eventdb.dat";
    const CreateResult created = createDatabase(tree.dir.path(), db, loader);
    ASSERT_TRUE(created.ok) << created.message;
    int lines = 0;
    for (const Planned& p : tree.files)
        lines += std::max<int>(1, static_cast<int>(p.events.size()));
    EXPECT_EQ(created.records, lines);
    EXPECT_EQ(created.message, format("Database File Created - %d Records", lines));
    DatabaseFile file;
    ASSERT_TRUE(readDatabase(db, file));
    EXPECT_EQ(file.count, lines);
    EXPECT_EQ(file.root, tree.dir.path().string());
    EXPECT_EQ(test::readBytes(db)[15], '\n'); // "Records: %06d"

    for (const SearchCriteria& c : criteriaTable(tree)) {
        SCOPED_TRACE(formatCriteria(c));
        EXPECT_EQ(searchDatabase(file, c), bruteDatabase(tree.files, c));
        // The live maximum is checked per folder; the table's small maximum stops after the first.
        std::vector<std::string> live = bruteLive(tree.files, c);
        if (c.maxFiles < 12) {
            std::erase_if(live,
                          [&](const std::string& p) { return fs::path(p).parent_path() != tree.dir.path(); });
        }
        EXPECT_EQ(liveSearch(tree.dir.path(), c, loader), live);
    }
    SearchCriteria flat = criteriaTable(tree)[0];
    flat.subdirectories = false;
    for (const std::string& p : liveSearch(tree.dir.path(), flat, loader))
        EXPECT_EQ(fs::path(p).parent_path(), tree.dir.path());
}

TEST(EventDatabase, DamagedLinesAreSkippedAndAFailedRunKeepsThePreviousFile) {
    test::TempDir dir;
    setDebugLogDirectory(dir.path().string());
    DatabaseLine line{"/data/x,y/ev.svx", {2005, 3, 1, 4, 5, 6, 0}, "AB", 'Z', 4.5, 1234, 0};
    EXPECT_EQ(formatLine(line), "/data/x,y/ev.svx,03/01/2005 04:05:06,AB,Z,4.5,1234,0");
    const std::string text =
        "Records: 000003\nVersion: 1.0\nRoot: /data\n" + formatLine(line) +
        "\n/data/b.svx,13/01/2005 00:00:00,AB,Z,1,2,3\n/data/c.svx,03/01/2005 00:00:00,AB,Z\n"
        "/data/d.svx,03/01/2005 00:00:00,AB,ZZ,1,2,3\n" +
        formatLine({"/data/e.svx", {2006, 1, 1, 0, 0, 0, 0}, "", '?', 0, 0, 0}) + "\n";
    DatabaseFile file;
    ASSERT_TRUE(parseDatabase(text, file));
    ASSERT_EQ(file.lines.size(), 2u);
    EXPECT_EQ(file.lines[0].path, "/data/x,y/ev.svx");
    EXPECT_EQ(file.lines[0].distanceKm, 1234);
    std::ifstream log(debugLogPath());
    std::stringstream logged;
    logged << log.rdbuf();
    EXPECT_NE(logged.str().find("eventdb.dat line 5 skipped"), std::string::npos) << logged.str();
    EXPECT_NE(logged.str().find("eventdb.dat line 7 skipped"), std::string::npos);
    setDebugLogDirectory("");
    EXPECT_FALSE(parseDatabase("Version: 1.0\n", file));
    using namespace std::literals;
    EXPECT_FALSE(parseLine("/a\0b.svx,03/01/2005 00:00:00,AB,Z,1,2,3"sv)); // would be written back cut short

    // A stopped run and a tree without event files both leave the old database as it was.
    RecordingMessages quiet;
    EventLoader loader(quiet);
    const fs::path db = dir / "eventdb.dat";
    test::writeBytes(db, test::bytesOf(text));
    fs::create_directories(dir / "tree/sub");
    test::writeBytes(dir / "tree/sub/ev.svx", smallEvent());
    EXPECT_FALSE(createDatabase(dir / "tree", db, loader, [](const std::string&) { return false; }).ok);
    fs::create_directories(dir / "empty");
    EXPECT_EQ(createDatabase(dir / "empty", db, loader).message,
              "Database File Not Created - No Event Files Found");
    EXPECT_EQ(test::readBytes(db), test::bytesOf(text));
    std::vector<std::string> statuses;
    EXPECT_TRUE(createDatabase(dir / "tree", db, loader, [&](const std::string& s) {
                    statuses.push_back(s);
                    return true;
                }).ok);
    EXPECT_EQ(statuses.back(), format("Creating Database File - Searching Directory 2 of 2:\n%s",
                                      (dir / "tree/sub").string().c_str()));
}

} // namespace
} // namespace tlx::browser
