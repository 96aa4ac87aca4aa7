#include "views/event_session.h"

#include "core/data_paths.h"
#include "record/loader.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

namespace tlx::views {
namespace {

namespace fs = std::filesystem;

// A record of `count` samples at 10 sps starting 2024-03-01 12:00:00, shaped by `tweak`.
std::string writeRecord(const test::TempDir& dir, const std::string& name, std::size_t count,
                        const std::function<void(test::Svx4Spec&)>& tweak) {
    test::Svx4Spec spec;
    spec.start = {2024, 3, 1, 12, 0, 0, 0};
    spec.sps = 10;
    spec.samples = test::rampSignal(count);
    tweak(spec);
    const std::string file = (dir / name).string();
    test::writeBytes(file, test::buildSvx4(spec));
    return file;
}

// A missing or damaged table pair takes away only its own table choice: the other pair and IASP91
// still give the window's distances, the same as complete tables give. The record carries no
// magnitude correction; the session takes it from the local MAGCORR.DAT (file-name line).
TEST(EventSession, EachTableChoiceWorksWithItsOwnTables) {
    const fs::path shipped = shippedDataDirectory();
    ASSERT_FALSE(shipped.empty()) << "no shipped data folder";
    test::TempDir dir;
    const std::string file =
        writeRecord(dir, "240301.ab1", 6000, [](test::Svx4Spec& s) { s.magCorrection = 0; });
    std::ofstream(dir / "MAGCORR.DAT") << "AB Z 0.25\n";

    struct Case {
        const char* name;
        bool teleseismic, regional; // pair present; a missing teleseismic pair, a damaged regional one
        int useTable;
        int spMs;
        const char* tableName;
    };
    const Case cases[] = {
        {"regional without teleseismic", false, true, kRegional, 9'500, "Reg: "},
        {"IASP91 without teleseismic", false, true, kIasp91, 480'000, "IA91: "},
        {"teleseismic with a damaged regional pair", true, false, kTeleseismic, 480'000, "JB: "},
        {"IASP91 with a damaged regional pair", true, false, kIasp91, 480'000, "IA91: "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir tablesDir;
        const std::pair<const char*, bool> files[] = {
            {"P.JB", c.teleseismic}, {"S.JB", c.teleseismic}, {"P_b.JB", c.regional}, {"S_b.JB", true}};
        for (const auto& [name, copy] : files)
            if (copy) fs::copy_file(shipped / name, tablesDir / name);
        if (!c.regional) std::ofstream(tablesDir / "S_b.JB", std::ios::trunc) << "n # S travel-time\n2\n";
        IniProfile ini;
        ini.loadText("[Tables]\nUseTable=" + std::to_string(c.useTable) + "\n");
        RecordingMessages messages;
        SeismoTables tables;
        tables.load(ini, {tablesDir.path()}, {dir.path(), shipped}, messages);
        EventLoader loader(messages);
        EventSession session(tables, loader, messages);
        ASSERT_TRUE(session.open({file})) << ::testing::PrintToString(messages.texts());
        EXPECT_EQ(session.doc().record(0).header.magCorrection, 0.25);
        session.model().layout({0, 0, 1000, 700}, TextMetrics{}, Output::Screen);
        session.placeMarkers(43'220'000, 43'220'000 + c.spMs);
        const Readout r = session.readout();
        ASSERT_TRUE(r.found) << session.model().distanceLine();
        EXPECT_EQ(r.tableName, c.tableName);
        if (c.useTable == kRegional) {
            EXPECT_TRUE(r.magnitudes && r.magnitudes->ml) << session.model().distanceLine();
        }

        SeismoTables complete;
        complete.load(ini, {shipped}, {shipped}, messages);
        const SpDistance expected = distanceFromSp(complete.travel.newWindow(complete.settings), c.spMs);
        EXPECT_DOUBLE_EQ(r.degrees, expected.degrees);
        EXPECT_DOUBLE_EQ(r.pTravelSeconds, expected.pTimeMs / 1000.0);
        EXPECT_EQ(r.originMs, 43'220'000 - expected.pTimeMs);
    }
}

// Without magtbl.dat only Ml goes; a station's own MAGTBL.<id> gives its Ml; Auto Magnitude
// Sensitivity takes sensor units for a displacement sensor and the correction when switched off.
TEST(EventSession, MagnitudeTablesAndSensitivityChoice) {
    const fs::path shipped = shippedDataDirectory();
    ASSERT_FALSE(shipped.empty()) << "no shipped data folder";
    test::TempDir dir;
    const std::string file = writeRecord(dir, "a.svx", 12000, [](test::Svx4Spec& s) {
        s.sensorId = "XYZ";
        s.sensorType = 3;
        s.sensitivity = 2.0;
        s.magCorrection = 0.5;
    });
    auto readoutWith = [&](const fs::path& data, MagnitudeUnits units) {
        RecordingMessages messages;
        SeismoTables tables;
        tables.load(IniProfile(), {shipped}, {data}, messages);
        tables.magnitudeUnits = units;
        EventLoader loader(messages);
        EventSession session(tables, loader, messages);
        EXPECT_TRUE(session.open({file}));
        session.model().layout({0, 0, 1000, 700}, TextMetrics{}, Output::Screen);
        // About 75 s of S-P: beyond 556 km, so Ms is computed too.
        session.placeMarkers(43'220'000, 43'295'000);
        return session.readout().magnitudes.value_or(MagnitudeValues{});
    };
    test::TempDir empty;
    const MagnitudeValues none = readoutWith(empty.path(), MagnitudeUnits::Auto);
    EXPECT_FALSE(none.ml);
    EXPECT_TRUE(none.ms) << "Ms needs no -log A0 table";

    const MagnitudeValues global = readoutWith(shipped, MagnitudeUnits::Auto);
    const MagnitudeValues corrected = readoutWith(shipped, MagnitudeUnits::Correction);
    ASSERT_TRUE(global.ml && corrected.ml);
    EXPECT_NE(*global.ml, *corrected.ml) << "sensor units and correction give different amplitudes";

    test::TempDir station;
    fs::copy_file(shipped / "magtbl.dat", station / "magtbl.dat");
    std::ofstream(station / "MAGTBL.XYZ")
        << "Tables: 1\nRange: 100 to 1000 Step: 100\n500 500 500 500 500 500 500 500 500 500\n";
    const MagnitudeValues own = readoutWith(station.path(), MagnitudeUnits::Auto);
    ASSERT_TRUE(own.ml);
    EXPECT_NE(*own.ml, *global.ml) << "the station's table is used";
}

} // namespace
} // namespace tlx::views
