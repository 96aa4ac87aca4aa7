#include "core/atomic_file.h"
#include "core/data_paths.h"
#include "record/file_kind.h"
#include "support/temp_dir.h"
#include "views/seismo_readouts.h"

#include <cstring>

#include <gtest/gtest.h>

namespace tlx::views {
namespace {

TEST(SeismoTables, ShippedTablesGiveIasp91DistancesWhenChosen) {
    IniProfile ini;
    ini.loadText("[Tables]\nUseTable=2\n");
    RecordingMessages messages;
    SeismoTables tables;
    const auto data = shippedDataDirectory();
    tables.load(ini, {data}, {data}, messages);
    EXPECT_TRUE(messages.messages().empty()) << ::testing::PrintToString(messages.texts());
    ASSERT_TRUE(tables.iasp91.available());
    EXPECT_EQ(tables.settings.useTable, kIasp91) << "IASP91 stays chosen when its file is there";
    WindowTravelTimes window = tables.travel.newWindow(tables.settings);
    // About 8 minutes of S-P is a teleseismic distance that only the IASP91 mode resolves here.
    const SpDistance d = distanceFromSp(window, 480'000);
    ASSERT_TRUE(d.found());
    EXPECT_GT(d.degrees, 50);
    EXPECT_LT(d.degrees, 90);
}

} // namespace
} // namespace tlx::views

namespace tlx::views {
namespace {

TEST(SeismoTables, RecordsWithoutCorrectionTakeTheStationsFromTheCorrectionFiles) {
    test::TempDir local;
    ASSERT_TRUE(writeFileAtomically(local / "magcorr.dat", std::string("ABCD BHN 0.5\nXY Z 0.25\n")));
    ASSERT_TRUE(
        writeFileAtomically(local / "RESPONSE.DAT", std::string("[ABCD.IU.BHZ_1]\nenddate=no\nsens=2000\n")));
    RecordingMessages messages;
    SeismoTables tables;
    tables.load(IniProfile(), {shippedDataDirectory()}, {local.path(), shippedDataDirectory()}, messages);
    EXPECT_FALSE(messages.contains("File MAGCORR.DAT not found!"));

    EventRecord sac;
    std::memcpy(sac.header.sensorId, "ABCD", 4);
    std::memcpy(sac.header.componentName, "BHZ", 3);
    EXPECT_NEAR(tables.magnitudeCorrectionFor(sac, kKindSac), 0.2 / (2000 * 2 / 1e6 * 3.141592653589793),
                1e-12)
        << "response.dat first";
    std::memcpy(sac.header.componentName, "BHN", 3);
    EXPECT_EQ(tables.magnitudeCorrectionFor(sac, kKindSac), 0.5) << "then MAGCORR.DAT by station and channel";
    EXPECT_EQ(tables.magnitudeCorrectionFor(sac, kKindSvx4), 0)
        << "SVX records use the file-name look-up only";
    sac.header.magCorrection = 0.125;
    EXPECT_EQ(tables.magnitudeCorrectionFor(sac, kKindSac), 0.125) << "a record's own correction stays";

    EventRecord svx;
    svx.fileName = "/events/240301.xy1";
    svx.header.orientation = 'Z';
    EXPECT_EQ(tables.magnitudeCorrectionFor(svx, kKindSvx4), 0.25);

    RecordingMessages missing;
    SeismoTables without;
    test::TempDir empty;
    without.load(IniProfile(), {shippedDataDirectory()}, {empty.path()}, missing);
    EXPECT_TRUE(missing.contains("File MAGCORR.DAT not found!"));
}

} // namespace
} // namespace tlx::views
