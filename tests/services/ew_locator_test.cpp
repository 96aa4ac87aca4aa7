#include "services/ew_locator_run.h"

#include "core/civil_time.h"
#include "core/file_io.h"
#include "core/text.h"
#include "platform/process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace tlx;
namespace fs = std::filesystem;
using tlx::test::TempDir;

fs::path hypFile(const char* name) {
    const fs::path dir = tlx::test::sharedDataDir();
    return dir.empty() ? fs::path() : dir / "hyp2000" / name;
}

double utc(int y, int mo, int d, int h, int mi, double s) {
    return static_cast<double>(epochSeconds(CivilTime{y, mo, d, h, mi, 0, 0})) + s;
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::string readText(const fs::path& path) {
    std::string text;
    readTextFile(path, text);
    return text;
}

TEST(EwPhaseFile, RealArchiveFilesReadAsTheColumnsSay) {
    if (hypFile("test_hew10.arc").empty()) GTEST_SKIP() << "shared reference data absent";
    EwPhaseFile file;
    std::string error;
    ASSERT_TRUE(file.read(hypFile("test_hew10.arc"), error)) << error;
    EXPECT_EQ(file.format(), 5);
    ASSERT_EQ(file.picks().size(), 20u);
    const EwPick& first = file.picks().front();
    EXPECT_EQ(first.name, "RM33.HNZ");
    EXPECT_DOUBLE_EQ(first.time, utc(2018, 1, 4, 14, 30, 35.21));
    EXPECT_EQ(ewPickListLine(first), "RM33.HNZ  2018.01.04 14:30:35.21 <1/2>");
    EXPECT_EQ(file.picks()[1].name, "T1299.EHZ"); // a five-letter station runs into the network columns

    // More picks than the dialog holds, within the lines it reads.
    for (const char* name : {"input.arc", "test_input.phs", "test_31244141_Norcia.arc"}) {
        EwPhaseFile big;
        EXPECT_FALSE(big.read(hypFile(name), error)) << name;
        EXPECT_EQ(error, "Phase File Parse Error") << name;
    }
    EXPECT_FALSE(file.parse("only one line\n", error));
    EXPECT_EQ(error, "Phase File Number of Lines < 2 Error");
}

TEST(EwPhaseFile, SavedFileCarriesEditsAndLeavesDisabledPicksOut) {
    if (hypFile("test_hew10.arc").empty()) GTEST_SKIP() << "shared reference data absent";
    EwPhaseFile file;
    std::string error;
    ASSERT_TRUE(file.read(hypFile("test_hew10.arc"), error));
    file.picks()[0].time += 61.5; // 14:31:36.71
    file.picks()[1].weight = '4';
    file.picks()[2].disabled = true;
    const std::string saved = file.text();
    EwPhaseFile again;
    ASSERT_TRUE(again.parse(saved, error)) << error;
    ASSERT_EQ(again.picks().size(), 19u);
    EXPECT_NEAR(again.picks()[0].time, utc(2018, 1, 4, 14, 31, 36.71), 1e-6);
    EXPECT_EQ(again.picks()[1].weight, '4');
    EXPECT_EQ(again.picks()[2].name, "FDMO.HHZ");
    // Columns other than weight and time stay as read; every phase line keeps its shadow line.
    TextLines lines(saved);
    std::string_view line;
    lines.next(line);
    lines.next(line);
    lines.next(line);
    EXPECT_EQ(std::string(line.substr(0, 17)), "RM33 IV  HNZ P D2");
    EXPECT_EQ(std::string(line.substr(17, 17)), "201801041431 3671");
    const std::string original = readText(hypFile("test_hew10.arc"));
    const std::size_t start = original.find("RM33");
    EXPECT_EQ(line.substr(34),
              std::string_view(original).substr(start + 34, original.find('\n', start) - start - 34));
    lines.next(line);
    EXPECT_EQ(line[0], '$');
}

TEST(EwPhaseFile, AddedPickIsTheTemplateFilledAndFiveMinutesIsTheLimit) {
    EwNewPick pick{"LONGST", "I", "HHZ", "", utc(2024, 3, 1, 12, 0, 5.257)};
    const std::string line = ewNewPhaseLine(pick);
    ASSERT_EQ(line.size(), 120u);
    EXPECT_EQ(line.substr(0, 17), "LONGSI   HHZ  P 0");
    EXPECT_EQ(line.substr(17, 17), "202403011200  525");
    EXPECT_EQ(line.substr(line.find("WE ") + 3, 2), "--");

    EwPhaseFile file;
    std::string error;
    ASSERT_TRUE(
        file.parse("202403011200 0000\n$\nAAA  XX  BHZ P  1202403011200 1000\n$\n   end\n$   end\n", error));
    pick.time = utc(2024, 3, 1, 12, 5, 11.01); // 301 s after the first pick
    EXPECT_FALSE(file.addPick(pick, error));
    EXPECT_EQ(error, "Error adding phase. Phase time > 5 minutes from first phase.");
    file.picks()[0].weight = '3';
    pick.time = utc(2024, 3, 1, 12, 5, 9.99);
    ASSERT_TRUE(file.addPick(pick, error)) << error;
    ASSERT_EQ(file.picks().size(), 2u);
    EXPECT_EQ(file.picks()[0].weight, '3'); // earlier edits survive the insertion
    EXPECT_EQ(file.picks()[1].name, "LONGS.HHZ");
    const std::string text = file.text();
    EXPECT_NE(text.find("\n$\n   end\n$   end\n"), std::string::npos) << text;
}

TEST(EwLocatorFiles, StationLinesReadAndWriteTheirColumns) {
    const auto real = parseStationLine("A001  TV HEHE  43 10.0260N 12 31.2360E 317     1  0.00  0.00");
    ASSERT_TRUE(real);
    EXPECT_EQ(real->station, "A001");
    EXPECT_EQ(real->component, "EHE");
    EXPECT_NEAR(real->latitude, 43 + 10.026 / 60, 1e-9);
    EXPECT_NEAR(real->longitude, 12 + 31.236 / 60, 1e-9);

    const std::string line = ewNewStationLine({"SANTI", "CL", "BHZ", -33.5, -70.25125, 571.36});
    ASSERT_EQ(line.size(), 88u);
    EXPECT_EQ(line.substr(0, 49), "SANTI CL  BHZ  33 30.0000S 70 15.0750W  571.4   A");
    const auto back = findStation("x\n" + line + "\n", "SANTI.BHZ");
    ASSERT_TRUE(back);
    EXPECT_NEAR(back->latitude, -33.5, 1e-6);
    EXPECT_NEAR(back->longitude, -70.25125, 1e-6);
    EXPECT_FALSE(findStation(line, "SANTI.BHN"));
}

TEST(EwLocatorFiles, CommandFileIsPointedAtOurPhaseFile) {
    if (hypFile("italy2000.hyp").empty()) GTEST_SKIP() << "shared reference data absent";
    TempDir dir;
    fs::copy_file(hypFile("italy2000.hyp"), dir / "italy.hyp");
    std::string error;
    ASSERT_TRUE(updateCommandFile(dir / "italy.hyp", "/data/picks.arc.new", 3, error)) << error;
    const std::string text = readText(dir / "italy.hyp");
    EXPECT_NE(text.find("\nPHS '/data/picks.arc.new'\n"), std::string::npos);
    EXPECT_NE(text.find("\nCOP 3\n"), std::string::npos);
    EXPECT_EQ(text.find("input.arc"), std::string::npos);
    const EwCommandFile command = parseCommandFile(text);
    EXPECT_EQ(command.summaryFile, "../output/hypo.sum");
    EXPECT_EQ(command.stationFile, "./all_stations.hinv");
    EXPECT_FALSE(fs::exists(dir / "italy.hyp.tmp"));

    writeText(dir / "noloc.hyp", "* comment PHS\nPHS 'old'\nphs 'lower'\nPHSX keep\n");
    EXPECT_FALSE(updateCommandFile(dir / "noloc.hyp", "new.arc", 5, error));
    EXPECT_EQ(error, "Command 'LOC' not found in command file");
    EXPECT_EQ(readText(dir / "noloc.hyp"), "* comment PHS\nPHS 'new.arc'\nPHS 'new.arc'\nPHSX keep\n");
}

TEST(EwLocatorFiles, SummaryLinesGiveLocationsAndAtMostFiftyAreKept) {
    // "20240301 1200  5.25" puts hour 12 at 9-10, minute 00 at 11-12, seconds at 13-18.
    const std::string line = "20240301 1200  5.25 33S30.00 070W15.00   10.50";
    const auto one = parseSummary(line + "\ngarbage\n");
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NEAR(one[0].originTime, utc(2024, 3, 1, 12, 0, 5.25), 1e-6);
    EXPECT_NEAR(one[0].latitude, -33.5, 1e-9);
    EXPECT_NEAR(one[0].longitude, -70.25, 1e-9);
    EXPECT_NEAR(one[0].depth, 10.5, 1e-9);
    std::string many;
    for (int i = 0; i < 50; ++i)
        many += line + "\n";
    many += "20240301 1300  5.25 10N30.00 020E15.00    1.00\n";
    const auto kept = parseSummary(many);
    ASSERT_EQ(kept.size(), 50u);
    EXPECT_NEAR(kept.back().latitude, 10.5, 1e-9);
}

TEST(EwLocatorRun, StandInLocatorIsRunAndItsLocationsReachAWellFormedKml) {
    TempDir dir;
    writeText(dir / "hyp2000", "");
    // The stand-in checks that the command file names our ".new" phase file, then writes a summary.
    writeText(dir / "runhyp2k.sh", "grep -q \"^PHS '.*picks.arc.new'\" \"$1\" || exit 3\n"
                                   "echo '20240301 1200  5.25 33S30.00 070W15.00   10.50' > out.sum\n");
    writeText(dir / "cmd.hyp", "STA 'sta.hinv'\nSUM 'out.sum'\nPHS 'x'\nCOP 3\nLOC\n");
    writeText(dir / "picks.arc", "202403011200 0000\nAAA  XX  BHZ P  1202403011200 1000\n   end\n");
    writeText(dir / "sta.hinv", ewNewStationLine({"AAA", "XX", "BHZ", -33.0, -70.0, 100}) + "\n");
    EwPhaseFile phases;
    std::string error;
    ASSERT_TRUE(phases.read(dir / "picks.arc", error));
    ASSERT_TRUE(placeStations(phases.picks(), dir / "sta.hinv"));
    EXPECT_TRUE(phases.picks()[0].stationKnown);

    EwRunSettings settings{dir.path(), dir / "picks.arc", dir / "cmd.hyp"};
    const EwRunResult run = runLocator(phases, settings);
    ASSERT_TRUE(run.ok) << run.error << run.logLines;
    ASSERT_EQ(run.locations.size(), 1u);
    EXPECT_NEAR(run.locations[0].latitude, -33.5, 1e-9);

    const std::string kml =
        ewSummaryKml(run.locations, EwKmlPoint{"Report", "Event Report", "#report-pushpin", -33, -71},
                     {{"AAA", "Station", "#sta-pushpin", -33.0, -70.0}}, 20000);
    ASSERT_TRUE(writeSummaryKml(dir / "EwSummary.kml", kml, error));
    ChildProcess python;
    SpawnOptions capture;
    capture.captureStdout = true;
    ASSERT_TRUE(python.start({"/usr/bin/python3", "-c",
                              "import sys, xml.dom.minidom as m\n"
                              "d = m.parse(sys.argv[1])\n"
                              "print(','.join(n.firstChild.data for n in d.getElementsByTagName('name')))",
                              (dir / "EwSummary.kml").string()},
                             capture));
    EXPECT_EQ(python.readAllOutput(4096), "Tellurix,Report,Event,AAA\n");
    EXPECT_EQ(python.wait(), WaitStatus::Exited);
    EXPECT_EQ(python.exitCode(), 0);
}

TEST(EwLocatorRun, LocatorThatNeverEndsIsStoppedAtTheLimit) {
    TempDir dir;
    writeText(dir / "hyp2000", "");
    writeText(dir / "runhyp2k.sh", "exec sleep 30\n");
    writeText(dir / "cmd.hyp", "SUM 'out.sum'\nLOC\n");
    writeText(dir / "picks.arc", "202403011200 0000\nAAA  XX  BHZ P  1202403011200 1000\n   end\n");
    EwPhaseFile phases;
    std::string error;
    ASSERT_TRUE(phases.read(dir / "picks.arc", error));
    EwRunSettings settings{dir.path(), dir / "picks.arc", dir / "cmd.hyp", false, 2, 100};
    const auto start = std::chrono::steady_clock::now();
    const EwRunResult run = runLocator(phases, settings);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    EXPECT_FALSE(run.ok);
    EXPECT_EQ(run.error, "Summary File Not Created");
    EXPECT_NE(run.logLines.find("EwPicks timeout after ShellExecuteEx"), std::string::npos);

    fs::remove(dir / "hyp2000");
    EXPECT_EQ(runLocator(phases, settings).error, "HYP2000.EXE Not Found in " + dir.path().string() + "/");
}

} // namespace
