// The browser's folder listing with its summary cache, the columns and sorting, and what Open and
// Send Email do with the selected rows.
#include "browser/browser_actions.h"
#include "browser/directory_listing.h"
#include "browser/file_convert.h"
#include "browser/file_walk.h"
#include "core/file_io.h"
#include "format_fixtures.h"
#include "mseed_builder.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

namespace tlx::browser {
namespace {
namespace fs = std::filesystem;

test::Svx4Spec event(const std::string& station, int second, std::size_t samples = 200) {
    test::Svx4Spec s;
    s.sensorId = station;
    s.start.second = second;
    s.samples = test::rampSignal(samples);
    s.blocks = {test::textBlock(3, "quarry blast")};
    return s;
}

struct Listed {
    std::vector<FileEntry> rows;
    int loads = 0;
    SummaryCache cache;
};

Listed list(const ListingTarget& target, SummaryCache cache) {
    DirectoryListing listing(LoaderSettings{}, std::move(cache));
    listing.start(target);
    Listed out;
    while (!listing.finished()) {
        for (FileEntry& e : listing.takeReady())
            out.rows.push_back(std::move(e));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (FileEntry& e : listing.takeReady())
        out.rows.push_back(std::move(e));
    out.loads = listing.loads();
    out.cache = std::move(listing.cache());
    return out;
}

std::map<std::string, std::string> comments(const std::vector<FileEntry>& rows) {
    std::map<std::string, std::string> out;
    for (const FileEntry& e : rows)
        out[e.columns[kColumnFile]] = e.columns[kColumnComment];
    return out;
}

TEST(DirectoryListing, ListsEventFilesAndRereadsOnlyChangedOnes) {
    test::TempDir dir;
    test::writeBytes(dir / "b.svx", test::buildSvx4(event("BBB", 7)));
    test::writeBytes(dir / "a.svx", test::buildSvx4(event("AAA", 9)));
    test::Svx4Spec north = event("CCC", 9);
    north.orientation = 'N';
    north.blocks.clear();
    test::writeBytes(dir / "c.SVX", test::buildSvx4(north));
    test::writeBytes(dir / "vol.svx", test::buildSvxVolume({event("VVV", 1), event("VVV", 1)}));
    test::MseedSpec z, e;
    e.channel = "BHE";
    z.samples = e.samples = test::rampInts(100);
    auto mseed = test::buildRecord(z);
    const auto second = test::buildRecord(e);
    mseed.insert(mseed.end(), second.begin(), second.end());
    test::writeBytes(dir / "two.mseed", mseed);
    test::writeBytes(dir / "short.svx", std::vector<std::uint8_t>(154, 'x')); // never read
    test::writeBytes(dir / "junk.svx", std::vector<std::uint8_t>(155, 'x'));  // read, not listed

    const ListingTarget all = resolveNameField("*.*", dir.path());
    Listed first = list(all, {});
    EXPECT_EQ(first.loads, 6);
    EXPECT_EQ(comments(first.rows), (std::map<std::string, std::string>{
                                        {"a.svx", "quarry blast (Z)"},
                                        {"b.svx", "quarry blast (Z)"},
                                        {"c.SVX", "Sensor Orientation N"},
                                        {"two.mseed", "MINISEED Data Set - First Record: TEST BHZ"},
                                        {"vol.svx", "quarry blast - SVX Dataset"},
                                    }));
    auto names = [](const std::vector<FileEntry>& rows) {
        std::string out;
        for (const FileEntry& e : rows)
            out += e.columns[kColumnFile] + " ";
        return out;
    };
    SortOrder order{kColumnFile, false};
    order.click(kColumnTime);
    sortEntries(first.rows, order.column, order.descending);
    EXPECT_EQ(first.rows[0].columns[kColumnTime], "03/01/24 12:00:00"); // miniSEED day 61
    // Equal times sort by station; a second click on the column reverses.
    EXPECT_EQ(names(first.rows), "two.mseed vol.svx b.svx a.svx c.SVX ");
    order.click(kColumnTime);
    sortEntries(first.rows, order.column, order.descending);
    EXPECT_EQ(names(first.rows), "c.SVX a.svx b.svx vol.svx two.mseed ");

    // A data set lists its channels, each opened by its index.
    RecordingMessages quiet;
    const auto channels =
        dataSetEntries((dir / "two.mseed").string(), EventLoader(quiet).readHeaderOnly(dir / "two.mseed"));
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_EQ(channels[1].columns[kColumnComment], "MINISEED Dataset File - Channel: TEST - BHE");
    EXPECT_EQ(channels[1].channel, 1);

    // The cache from disk: nothing is read again; a touched file is, a deleted one is forgotten.
    test::TempDir program;
    ASSERT_TRUE(first.cache.save(program / kSummaryCacheName));
    SummaryCache stored;
    ASSERT_TRUE(stored.load(program / kSummaryCacheName));
    Listed again = list(all, std::move(stored));
    EXPECT_EQ(again.loads, 0);
    sortEntries(again.rows, order.column, order.descending);
    EXPECT_EQ(names(again.rows), names(first.rows));
    EXPECT_EQ(comments(again.rows), comments(first.rows));
    EXPECT_EQ(again.rows[0].startSeconds, first.rows[0].startSeconds);
    fs::last_write_time(dir / "a.svx", fs::last_write_time(dir / "a.svx") + std::chrono::seconds(5));
    fs::remove(dir / "b.svx");
    Listed touched = list(all, std::move(again.cache));
    EXPECT_EQ(touched.loads, 1);
    EXPECT_EQ(touched.rows.size(), 4u);
    EXPECT_EQ(touched.cache.size(), 5u); // four event files and the rejected one

    // Patterns: comma-separated, case ignored; a path names the folder.
    const ListingTarget svx = resolveNameField((dir.path() / "*.svx, *.mseed").string(), "/elsewhere");
    EXPECT_EQ(svx.directory, dir.path());
    EXPECT_EQ(list(svx, std::move(touched.cache)).rows.size(), 4u);
    EXPECT_TRUE(matchesPattern("EV01.SVX", "ev??.svx"));
    EXPECT_FALSE(matchesPattern("ev1.svx", "ev??.svx"));
    EXPECT_TRUE(matchesPattern("README", "*.*"));
}

TEST(BrowserActions, OpenGroupsDataSetsAndMail) {
    auto row = [](const std::string& path, int count, std::int64_t start, bool dataSet = false) {
        FileEntry e;
        e.path = path;
        e.kind = dataSet ? kKindMiniSeedSet : kKindSvx4;
        e.dataSet = dataSet;
        e.sampleCount = count;
        e.sps = 100;
        e.startSeconds = start;
        return e;
    };
    const FileEntry a = row("a", 500, 10), b = row("b", 500, 10), c = row("c", 500, 10),
                    d = row("d", 400, 10), late = row("late", 500, 11), set1 = row("s1", 0, 0, true),
                    set2 = row("s2", 0, 0, true);
    OpenPlan p = planOpen({&a, &b, &c}, false);
    ASSERT_EQ(p.groups.size(), 1u);
    EXPECT_EQ(p.groups[0].files, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(planOpen({&a, &b, &d}, false).groups.size(), 3u);
    EXPECT_EQ(planOpen({&a, &late}, false).groups.size(), 2u);
    EXPECT_EQ(planOpen({}, false).action, OpenPlan::Action::Nothing);
    EXPECT_EQ(planOpen({&set1, &set2}, false).message, "Only one Data Set can be selected.");
    p = planOpen({&set1}, false);
    EXPECT_EQ(p.action, OpenPlan::Action::EnterDataSet);
    EXPECT_EQ(p.dataSetPath, "s1");

    // Channels of one station that agree share a window.
    FileEntry z = a, n = a, other = a;
    z.channel = 0;
    n.channel = 2;
    other.channel = 1;
    z.station = n.station = "ABC";
    other.station = "XYZ";
    p = planOpen({&z, &n}, true);
    ASSERT_EQ(p.groups.size(), 1u);
    EXPECT_EQ(p.groups[0].channels, (std::vector<int>{0, 2}));
    EXPECT_EQ(planOpen({&z, &other}, true).groups.size(), 2u);

    MailDraft m = planMail({"/e/1.svx", "/e/2.svx", "/e/empty.svx", "/e/4.svx"}, {100, 200, 0, 400}, "ABC");
    EXPECT_TRUE(m.ok);
    EXPECT_EQ(m.subject, "New event files from ABC");
    EXPECT_EQ(m.body, "/e/1.svx (100 bytes)\n/e/2.svx (200 bytes)\n/e/4.svx (400 bytes)\n");
    EXPECT_EQ(planMail({"/e/1.svx"}, {5}, "ABC").subject, "New event file from ABC");
    EXPECT_EQ(planMail({"1", "2", "3", "4", "5"}, {1, 1, 1, 1, 1}, "ABC").message,
              "Too many files selected. Maximum = 4 files.");
}

TEST(DirectoryListing, DataSetsOfEveryFormatListTheirChannelsAndOpenThemOneByOne) {
    test::TempDir dir;
    test::Svx4Spec z = event("VVV", 1), n = event("VVV", 1), e = event("WWW", 1);
    n.orientation = 'N';
    n.samples = test::rampSignal(200, 500);
    e.blocks = {test::textBlock(3, "east")};
    test::writeBytes(dir / "vol.svx", test::buildSvxVolume({z, n, e}));
    test::PeppSpec first, second;
    second.station = "XYZ";
    second.component = "SHN";
    second.samples.assign(200, -2.5f);
    test::writeBytes(dir / "two.pepp", test::buildPeppMulti({first, second}));
    // Two real GSE2.0 waveforms in one message, when the shared reference data are there.
    const fs::path shared = test::sharedDataDir() / "waveforms/gse2/obspy";
    const bool haveGse = !test::sharedDataDir().empty();
    std::string gse = "BEGIN GSE2.0\n";
    for (const char* name : {"loc_RJOB20050831023349.z", "loc_RNON20040609200559.z"}) {
        std::vector<std::uint8_t> bytes;
        if (haveGse) {
            ASSERT_TRUE(readWholeFile(shared / name, bytes));
        }
        gse.append(bytes.begin(), bytes.end());
    }
    test::writeBytes(dir / "two.gse", std::vector<std::uint8_t>(gse.begin(), gse.end()));

    RecordingMessages quiet;
    EventLoader loader(quiet);
    std::map<std::string, std::vector<std::string>> rows;
    std::map<std::string, std::vector<FileEntry>> channels;
    for (const char* name : {"vol.svx", "two.pepp", "two.gse"}) {
        if (!haveGse && std::string(name) == "two.gse") continue;
        const std::string path = (dir / name).string();
        const LoadResult header = loader.readHeaderOnly(path);
        EXPECT_TRUE(summarise(path, 0, header).dataSet) << name;
        channels[name] = dataSetEntries(path, header);
        for (const FileEntry& c : channels[name])
            rows[name].push_back(c.columns[0] + " | " + c.columns[1] + " | " + c.columns[2]);
    }
    EXPECT_EQ(rows["vol.svx"], (std::vector<std::string>{"vol.svx | 03/01/24 12:00:01 | quarry blast (Z)",
                                                         "vol.svx | 03/01/24 12:00:01 | quarry blast (N)",
                                                         "vol.svx | 03/01/24 12:00:01 | east (Z)"}));
    EXPECT_EQ(rows["two.pepp"], (std::vector<std::string>{
                                    "two.pepp | 06/15/10 08:20:30 | PEPP Data Set - Channel: ABC - SHZ",
                                    "two.pepp | 06/15/10 08:20:30 | PEPP Data Set - Channel: XYZ - SHN"}));
    ASSERT_EQ(rows["two.gse"].size(), haveGse ? 2u : 0u);
    if (haveGse) {
        EXPECT_EQ(rows["two.gse"][0].substr(0, 50), "GSE2.0 Data Set | 08/31/05 02:33:50 | RJOB        ");
        EXPECT_EQ(rows["two.gse"][1].substr(0, 38), "GSE2.0 Data Set | 06/09/04 20:06:00 | ");
    }

    // Each row opens its own channel: the rows of one station that agree share a window.
    const auto& vol = channels["vol.svx"];
    OpenPlan plan = planOpen({&vol[0], &vol[1]}, true);
    ASSERT_EQ(plan.groups.size(), 1u);
    EXPECT_EQ(plan.groups[0].forcedKind, kForceSvxVolumeChannel);
    EXPECT_EQ(planOpen({&vol[0], &vol[2]}, true).groups.size(), 2u);
    EXPECT_EQ(planOpen({&channels["two.pepp"][1]}, true).groups[0].forcedKind, kForcePepp);
    const std::vector<std::pair<std::string, int>> loads = {{"vol.svx", 1}, {"two.pepp", 1}, {"two.gse", 1}};
    for (const auto& [name, index] : loads) {
        if (!haveGse && name == "two.gse") continue;
        const FileEntry& row = channels[name][static_cast<std::size_t>(index)];
        LoadRequest request;
        request.fileName = row.path;
        request.forcedKind = channelForcedKind(row.kind);
        request.channelIndex = row.channel;
        const LoadResult loaded = loader.load(request);
        ASSERT_TRUE(loaded.ok) << name;
        ASSERT_EQ(loaded.channels.size(), 1u) << name;
        EXPECT_EQ(loaded.channels[0].record.stationName(), row.station) << name;
        EXPECT_EQ(loaded.channels[0].record.component(), row.component) << name;
    }
    LoadRequest north;
    north.fileName = (dir / "vol.svx").string();
    north.forcedKind = kForceSvxVolumeChannel;
    north.channelIndex = 1;
    EXPECT_EQ(loader.load(north).channels[0].samples, n.samples);
}

TEST(FileConvert, CountsPlansAndConvertsOldFiles) {
    test::TempDir dir;
    test::Svx3Spec three, two;
    two.version = 2;
    two.minute = two.endMinute = 31;
    test::writeBytes(dir / "ev.abc", test::buildSvx3(three));
    test::writeBytes(dir / "ev2.xyz", test::buildSvx3(two));
    test::writeBytes(dir / ".hidden.ghi", test::buildSvx3(three));
    test::Svx4Spec oldName = event("DEF", 7);
    test::writeBytes(dir / "240301a.def", test::buildSvx4(oldName));
    test::writeBytes(dir / "good.svx", test::buildSvx4(event("GGG", 7)));
    std::vector<std::string> paths;
    for (const fs::path& p : listFiles(dir.path()))
        paths.push_back(p.string());

    const auto candidates = convertCandidates(paths, {}, true);
    ASSERT_EQ(candidates.size(), 3u);
    const ConvertCounts counts = countConvertible(candidates);
    EXPECT_EQ(convertCountText("Format", counts.format), "Format: 2 Files to Convert");
    EXPECT_EQ(convertCountText("Name", counts.name), "Name: 3 Files to Convert");
    EXPECT_EQ(convertCountText("Name", 1), "Name: 1 File to Convert");
    EXPECT_EQ(convertCountText("Format", 0), "Format: No Files to Convert");

    // source -> target, "w" rewritten as SVX Type 4 or "r" renamed, "-" the source removed after.
    auto table = [&](ConvertChoice choice) {
        std::vector<std::string> out;
        for (const ConvertStep& s : planConvert(candidates, choice))
            out.push_back(fs::path(s.source).filename().string() + (s.rewrite ? " w " : " r ") +
                          fs::path(s.target).filename().string() + (s.removeSource ? " -" : ""));
        return out;
    };
    using Rows = std::vector<std::string>;
    EXPECT_EQ(table(ConvertChoice::Both),
              (Rows{"240301a.def r 240301.120007.def.svx", "ev.abc w 030512.143000.abc.svx -",
                    "ev2.xyz w 030512.143100.xyz.svx -"}));
    EXPECT_EQ(table(ConvertChoice::Format), (Rows{"ev.abc w ev.abc.svx", "ev2.xyz w ev2.xyz.svx"}));
    EXPECT_EQ(table(ConvertChoice::Name),
              (Rows{"240301a.def r 240301.120007.def.svx", "ev.abc r 030512.143000.abc.svx",
                    "ev2.xyz r 030512.143100.xyz.svx"}));

    // A file that already has a target name is never replaced; its source stays.
    test::writeBytes(dir / "240301.120007.def.svx", test::buildSvx4(event("DEF", 7)));
    RecordingMessages messages;
    EXPECT_EQ(runConvert(planConvert(candidates, ConvertChoice::Both), {}, messages), 2);
    std::string left;
    for (const fs::path& p : listFiles(dir.path()))
        left += p.filename().string() + " ";
    EXPECT_EQ(left, ".hidden.ghi 030512.143000.abc.svx 030512.143100.xyz.svx 240301.120007.def.svx "
                    "240301a.def good.svx ");
    const LoadResult converted = EventLoader(messages).load({(dir / "030512.143100.xyz.svx").string()});
    ASSERT_TRUE(converted.ok);
    EXPECT_EQ(converted.subKind, SubKind::Binary);
    EXPECT_EQ(converted.channels[0].record.info.comment, "type three"); // moved from the version 2 place
}

} // namespace
} // namespace tlx::browser
