#include "record/save_naming.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace tlx {
namespace {

TEST(SaveNaming, ExtensionRules) {
    const struct {
        const char* name;
        int format;
        const char* expected;
    } cases[] = {
        {"031215a", kSaveSvx4, "031215a.svx"},
        {"031215a.SVX", kSaveSvx3, "031215a.SVX"},
        {"031215a.abc", kSaveGif, "031215a.abc.gif"},
        {"x.GIF", kSaveGif, "x.GIF"},
        {"x.svx", kSaveSac, "x.sac"},
        {"x.SVX", kSaveSac, "x.SVX.sac"},
        {"x.sac", kSaveSac, "x.sac"},
        {"x", kSaveSvxText, "x.txt"},
        {"x.svx", kSaveMiniSeed, "x.mseed"},
        {"x.MSEED", kSaveMiniSeed, "x.MSEED"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(applySaveExtension(c.name, c.format), c.expected) << c.name;
}

TEST(SaveNaming, ReturningToSvxRestoresTheNames) {
    SaveNameState state({"/ev/a.svx", "/ev/b"}, kSaveSvx4);
    EXPECT_EQ(state.names()[1], "/ev/b.svx");
    state.changeFormat(kSaveGif);
    EXPECT_EQ(state.names()[0], "/ev/a.svx.gif");
    state.changeFormat(kSaveSac);
    EXPECT_EQ(state.names()[0], "/ev/a.svx.gif.sac");
    state.changeFormat(kSaveSvx3);
    EXPECT_EQ(state.names(), (std::vector<std::string>{"/ev/a.svx", "/ev/b.svx"}));
}

TEST(SaveNaming, FormatLists) {
    ASSERT_EQ(saveFormatList(SaveListMode::GifOnly).size(), 1u);
    EXPECT_STREQ(saveFormatList(SaveListMode::GifOnly)[0].text, "GIF Image");
    EXPECT_EQ(saveFormatList(SaveListMode::DataSet).size(), 2u);
    const auto full = saveFormatList(SaveListMode::Full);
    ASSERT_EQ(full.size(), 6u);
    EXPECT_STREQ(full[3].text, "SAC Binary");
    EXPECT_EQ(full[4].index, kSaveMiniSeed);
}

TEST(SaveNaming, PictureNames) {
    EXPECT_EQ(pictureGifName("/ev/Quake.2024.svx", ""), "/ev/quake_2024_svx.gif");
    EXPECT_EQ(pictureGifName("/ev/a.svx", "/out/Pic.GIF"), "/out/pic.gif");
    EXPECT_EQ(pictureGifName("/ev/a.svx", "/out/"), "/out/a_svx.gif");
    EXPECT_EQ(pictureGifName("/ev/a.svx", "Pic.gif"), "/ev/pic.gif");
    EventRecord r;
    r.header.startTime = {2000, 1, 2, 3, 4, 5, 0, 0};
    EXPECT_EQ(mapGifName("/ev", &r), "/ev/000102_map.gif");
    EXPECT_EQ(mapGifName("/ev/", nullptr), "/ev/eventmap.gif");
}

EventRecord recordAt(int year, const char* station) {
    EventRecord r;
    r.header.startTime = {static_cast<std::uint16_t>(year), 1, 1, 10, 20, 30, 0, 0};
    std::memset(r.header.sensorId, 0, sizeof r.header.sensorId);
    std::memcpy(r.header.sensorId, station, std::min<std::size_t>(std::strlen(station), 6));
    return r;
}

TEST(SaveNaming, LongNamesUseANearbyEventTime) {
    EventRecord r = recordAt(1999, "ABC  ");
    EXPECT_EQ(longFileName("/d/", r, true), "/d/990101.102030.abc.svx");
    EventEntry e{};
    e.originTime = {1999, 1, 1, 10, 15, 0, 0, 0}; // 330 s before the start
    r.addEvent(e);
    EXPECT_EQ(longFileName("/d/", r, true), "/d/990101.101500.abc.svx");
    EXPECT_EQ(longFileName("/d/", r, false), "/d/990101.102030.abc.svx");
    r.info.events[0].originTime = {1999, 1, 1, 9, 0, 0, 0, 0}; // too far away
    EXPECT_EQ(longFileName("/d/", r, true), "/d/990101.102030.abc.svx");
}

TEST(SaveNaming, ArchiveNames) {
    test::TempDir dir;
    ArchiveSettings settings;
    settings.archiveDirectory = dir.path().string() + "/";
    settings.longFileNames = false;
    RecordingMessages messages(Answer::Yes);
    std::string name;

    EventRecord r = recordAt(1999, "sta");
    ASSERT_TRUE(makeArchiveName(r, settings, messages, name));
    EXPECT_EQ(name, (dir / "9901").string() + "/990101a.sta");
    for (char c = 'a'; c <= 'z'; ++c)
        test::writeBytes(dir / "9901" / (std::string("990101") + c + ".sta"), {});
    ASSERT_TRUE(makeArchiveName(r, settings, messages, name));
    EXPECT_EQ(name, (dir / "9901").string() + "/990101aa.sta");

    EventRecord y2k = recordAt(2000, "sta");
    ASSERT_TRUE(makeArchiveName(y2k, settings, messages, name));
    EXPECT_EQ(name, (dir / "0001").string() + "/000101a.sta");

    EventRecord noStation = recordAt(2001, "");
    noStation.fileName = "/x/abc";
    EXPECT_FALSE(makeArchiveName(noStation, settings, messages, name));
    EXPECT_TRUE(messages.contains("No File Name Extension Found"));
    noStation.fileName = "/x/abc.q12";
    ASSERT_TRUE(makeArchiveName(noStation, settings, messages, name));
    EXPECT_EQ(std::filesystem::path(name).filename(), "010101a.q12");

    RecordingMessages refuse(Answer::No);
    EXPECT_FALSE(makeArchiveName(recordAt(2005, "sta"), settings, refuse, name));
    EXPECT_FALSE(std::filesystem::exists(dir / "0501"));

    settings.archiveDirectory.clear();
    EXPECT_FALSE(makeArchiveName(r, settings, messages, name));
    EXPECT_TRUE(messages.contains("No Archive Directory Defined"));
}

} // namespace
} // namespace tlx
