#include "core/data_paths.h"
#include "views/seismo_readouts.h"

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
