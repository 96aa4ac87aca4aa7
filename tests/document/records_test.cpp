#include "core/debug_log.h"
#include "doc_fixture.h"

#include <fstream>
#include <sstream>

namespace tlx::test {
namespace {

TEST_F(DocTest, OpeningPicksTheRecordWithTheLargestExcursion) {
    const std::vector<double> small(100, 5.0);
    std::vector<double> big(100, 1.0), tie(100, 1.0);
    big[40] = -900; // the excursion counts whatever its sign
    tie[10] = 900;
    const std::string files[] = {file("a.svx", "A", small), file("b.svx", "B", big), file("c.svx", "C", tie)};
    ASSERT_TRUE(doc->open(OpenRequest{{files[0], files[1], files[2]}, kForceNone, {}}));
    EXPECT_EQ(doc->recordCount(), 3);
    EXPECT_EQ(doc->currentRecord(), 1); // the earlier of two equal peaks
    EXPECT_EQ(doc->title(), "b.svx (Velocity)");
    EXPECT_EQ(doc->commonCount(), 100);
}

TEST_F(DocTest, VolumeFillsOneSlotPerChannelAndTitlesWithTheStation) {
    const auto path = dir / "vol.svx";
    writeBytes(path, buildSvxVolume({stationSpec("ONE", rampSignal(120, 10)),
                                     stationSpec("TWO", rampSignal(120, 50)),
                                     stationSpec("THREE", rampSignal(120, 20))}));
    ASSERT_TRUE(doc->open(path.string()));
    ASSERT_EQ(doc->recordCount(), 3);
    EXPECT_EQ(doc->fileKind(), kKindSvxVolume);
    EXPECT_EQ(doc->currentRecord(), 1);
    EXPECT_EQ(doc->title(), "vol.svx - TWO  (Velocity)");

    // Channels chosen out of the volume are records of their own: Save writes them beside it.
    const auto volume = readBytes(path);
    resetDoc();
    ASSERT_TRUE(doc->open(OpenRequest{{path.string()}, kForceSvxVolumeChannel, {2, 0}}));
    ASSERT_EQ(doc->recordCount(), 2);
    EXPECT_EQ(doc->record(0).stationName(), "THREE");
    EXPECT_EQ(std::vector<double>(doc->samples(0).begin(), doc->samples(0).end()), rampSignal(120, 20));
    doc->setRecordModified(0);
    // A file of that name already there is not the window's: it is kept unless the user says so.
    writeBytes(dir / "vol-3.svx", {'k', 'e', 'e', 'p'});
    messages.queueAnswer(Answer::No);
    EXPECT_FALSE(doc->save(SaveMode::Save));
    EXPECT_EQ(readBytes(dir / "vol-3.svx"), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_TRUE(messages.contains("Overwrite file " + (dir / "vol-3.svx").string()));
    ASSERT_TRUE(doc->save(SaveMode::Save));
    EXPECT_EQ(readBytes(path), volume);
    EXPECT_EQ(std::filesystem::path(doc->fileName(1)).filename(), "vol-1.svx");
    EXPECT_TRUE(loader.load({(dir / "vol-3.svx").string()}).ok);
}

TEST_F(DocTest, FailedOpenLeavesNoRecords) {
    EXPECT_FALSE(doc->open((dir / "missing.svx").string()));
    EXPECT_EQ(doc->recordCount(), 0);
    EXPECT_TRUE(messages.contains("Can't open file " + (dir / "missing.svx").string()));
}

TEST_F(DocTest, AddRefusesFilesThatDoNotMatchTheWindow) {
    setDebugLogDirectory(dir.path().string());
    openStations(1, 200);
    struct Case {
        const char* name;
        Svx4Spec spec;
        const char* logged;
    };
    Svx4Spec fewer = stationSpec("X", rampSignal(199, 10));
    Svx4Spec faster = stationSpec("X", rampSignal(200, 10));
    faster.sps = 200;
    Svx4Spec late = stationSpec("X", rampSignal(200, 10));
    late.start.nanoseconds += 11'000'000; // 11 ms > the 10 ms sample interval
    const Case cases[] = {{"fewer", fewer, "bad count 200 199"},
                          {"faster", faster, "bad sps"},
                          {"late", late, "bad time 03/01/2024 12:00:05.250 03/01/2024 12:00:05.261"}};
    for (const Case& c : cases) {
        EXPECT_FALSE(doc->addRecord(file(std::string(c.name) + ".svx", c.spec))) << c.name;
        EXPECT_EQ(doc->recordCount(), 1) << c.name;
        std::ifstream log(debugLogPath());
        std::stringstream text;
        text << log.rdbuf();
        EXPECT_NE(text.str().find(c.logged), std::string::npos) << c.name;
    }
    setDebugLogDirectory({});
    EXPECT_TRUE(messages.messages().empty()); // only the debug log hears why

    Svx4Spec withinOneInterval = stationSpec("OK", rampSignal(200, 10));
    withinOneInterval.start.nanoseconds -= 10'000'000;
    EXPECT_TRUE(doc->addRecord(file("ok.svx", withinOneInterval)));
    EXPECT_EQ(doc->currentRecord(), 1);
    EXPECT_TRUE(doc->addRecord(file("ok2.svx", withinOneInterval)));
    EXPECT_FALSE(doc->addRecord(file("fourth.svx", withinOneInterval)));
    EXPECT_EQ(doc->recordCount(), 3);
}

TEST_F(DocTest, AddComparesWithTheCroppedWindowNotItsFile) {
    openStations(1, 300);
    doc->toggleCropMessage();
    ASSERT_TRUE(doc->crop({75, 100, 1.0}));
    // The original file no longer matches: its samples would not line up with the window's.
    EXPECT_FALSE(doc->addRecord(file("again.svx", "AGAIN", rampSignal(300, 10))));
}

TEST_F(DocTest, SelectionCommandsDoNothingWithOneRecord) {
    openStations(1);
    doc->displayRecord(0);
    doc->selectRecord(0);
    doc->displayAll();
    EXPECT_FALSE(doc->singleRecord());
    EXPECT_FALSE(doc->canRemove());
    EXPECT_FALSE(doc->removeCurrent());
    EXPECT_FALSE(doc->isDisplayRecordEnabled(0));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(DocTest, DisplayAndSelectRecords) {
    openStations(3);
    doc->displayRecord(1);
    EXPECT_TRUE(doc->singleRecord());
    EXPECT_TRUE(doc->isDisplayRecordChecked(1));
    EXPECT_EQ(doc->affectedRecords(), std::vector<int>{1});
    doc->selectRecord(0);
    EXPECT_TRUE(doc->singleRecord());
    EXPECT_EQ(doc->title(), "A.svx (Velocity)");
    doc->displayAll();
    EXPECT_EQ(doc->affectedRecords(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(doc->displayMenuText(2), "&3: C\tCtrl+3");
    EXPECT_EQ(doc->selectMenuText(0), "&1: A\t1 Key");
    EXPECT_EQ(doc->removeMenuText(), "&Remove - A");
}

TEST_F(DocTest, RemovingTheMiddleRecordMovesTheThirdUp) {
    openStations(3);
    doc->displayRecord(2);
    ASSERT_TRUE(doc->applyDataOperation({kLabelLowPass, {"third only"}, true, -1},
                                        [](int, const EventRecord&, std::span<double> x) {
                                            for (double& v : x)
                                                v *= 2;
                                            return true;
                                        }));
    const std::vector<double> third = copyOf(2);
    doc->displayAll();
    doc->selectRecord(1);
    messages.queueAnswer(Answer::Ok);
    ASSERT_TRUE(doc->removeCurrent());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Remove Record B?"});
    ASSERT_EQ(doc->recordCount(), 2);
    EXPECT_EQ(doc->record(1).stationName(), "C");
    EXPECT_TRUE(doc->slot(1).modified);
    EXPECT_TRUE(doc->slot(1).hasFilterUndo());
    EXPECT_TRUE(sameBytes(doc->samples(1), third));
    EXPECT_TRUE(doc->slot(0).modified); // so that closing asks to save
    EXPECT_EQ(doc->currentRecord(), 1);
}

TEST_F(DocTest, RemovePromptSequences) {
    struct Case {
        const char* name;
        bool modified;
        std::vector<Answer> answers;
        bool saveSucceeds;
        std::vector<std::string> prompts;
        bool removed;
        int saves;
    };
    const std::string savePrompt = "Data Modified - Save File " + (dir / "B.svx").string();
    const Case cases[] = {
        {"confirmed", false, {Answer::Ok}, true, {"Remove Record B?"}, true, 0},
        {"dismissed", false, {Answer::Cancel}, true, {"Remove Record B?"}, false, 0},
        {"modified, saved", true, {Answer::Yes}, true, {savePrompt}, true, 1},
        {"modified, save fails", true, {Answer::Yes}, false, {savePrompt}, false, 1},
        {"modified, discarded", true, {Answer::No}, true, {savePrompt}, true, 0},
        {"modified, cancelled", true, {Answer::Cancel}, true, {savePrompt}, false, 0},
    };
    for (const Case& c : cases) {
        resetDoc();
        openStations(2);
        messages.clear();
        doc->selectRecord(1);
        doc->setRecordModified(1, c.modified);
        int saves = 0;
        doc->setSaveHook([&](CEqDoc&, SaveMode, int slot) {
            EXPECT_EQ(slot, 1) << c.name;
            ++saves;
            return c.saveSucceeds;
        });
        for (Answer a : c.answers)
            messages.queueAnswer(a);
        EXPECT_EQ(doc->removeCurrent(), c.removed) << c.name;
        EXPECT_EQ(messages.texts(), c.prompts) << c.name;
        EXPECT_EQ(doc->recordCount(), c.removed ? 1 : 2) << c.name;
        EXPECT_EQ(saves, c.saves) << c.name;
    }
}

TEST_F(DocTest, RemovingFromAVolumeOffersToSaveUnderTheRecordsOwnName) {
    const auto path = dir / "vol.svx";
    writeBytes(path, buildSvxVolume(
                         {stationSpec("ONE", rampSignal(120, 50)), stationSpec("TWO", rampSignal(120, 10))}));
    ASSERT_TRUE(doc->open(path.string()));
    doc->selectRecord(1);
    messages.clear();
    messages.queueAnswer(Answer::Ok);
    messages.queueAnswer(Answer::Yes);
    // Without a name of its own the record cannot be saved: the volume is not overwritten.
    EXPECT_FALSE(doc->removeCurrent());
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{"Remove Record TWO?", "Save File " + path.string()}));
    EXPECT_EQ(doc->recordCount(), 2);

    doc->setSingleFileNameHook(
        [&](const EventRecord& r) { return (dir / (r.stationName() + ".svx")).string(); });
    messages.queueAnswer(Answer::Ok);
    messages.queueAnswer(Answer::Yes);
    EXPECT_TRUE(doc->removeCurrent());
    EXPECT_TRUE(isSvx4File(dir / "TWO.svx"));
    EXPECT_EQ(doc->recordCount(), 1);
    EXPECT_EQ(
        buildSvxVolume({stationSpec("ONE", rampSignal(120, 50)), stationSpec("TWO", rampSignal(120, 10))}),
        readBytes(path));
}

TEST(EventTitle, EveryKindAndDataKind) {
    struct Case {
        int kind, sensorType, level;
        const char* expected;
    };
    const Case cases[] = {
        {kKindSvx4, 0, 0, "b.svx"},
        {kKindSvx4, 0, 1, "b.svx (Integrated)"},
        {kKindSvx4, 0, 2, "b.svx (Integrated X 2)"},
        {kKindSvx4, 1, 0, "b.svx (Acceleration)"},
        {kKindSvx4, 2, 1, "b.svx (Velocity)"},
        {kKindSvx4, 3, 2, "b.svx (Displacement)"},
        {kKindSvxVolume, 0, 0, "a.svx - STA "},
        {kKindSvxVolume, 2, 0, "a.svx - STA  (Velocity)"},
        {kKindSac, 0, 0, "b.svx SAC Binary"},
        {kKindPepp, 1, 0, "b.svx PEPP File (Acceleration)"},
        {kKindSeed, 0, 1, "b.svx SEED File (Integrated)"},
        {kKindGse2, 0, 0, "b.svx GSE2.0 File"},
        {kKindMiniSeed, 3, 0, "b.svx MINISEED File (Displacement)"},
        {kKindMiniSeedSet, 0, 2, "b.svx MINISEED Dataset File (Integrated X 2)"},
        {kKindAh, 2, 0, "b.svx AH File (Velocity)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(eventTitle({c.kind, "/data/a.svx", "/data/b.svx", "STA", c.sensorType, c.level}),
                  c.expected);
    EXPECT_EQ(eventTitle({kKindSvx4, "", "/data/", "", 0, 0}), "");
    EXPECT_EQ(eventTitle({kKindSvx4, "", "C:\\ev\\x.svx", "", 0, 0}), "x.svx");
}

TEST_F(DocTest, ClosePromptSequences) {
    struct Case {
        const char* name;
        int records, modified;
        LoadMode mode;
        Answer answer;
        bool saveSucceeds;
        std::vector<std::string> prompts;
        CloseAnswer outcome;
        int saves;
    };
    const std::string one = "Data Modified - Save File " + (dir / "A.svx").string();
    const std::string many = "Data Modified - Save File(s)?";
    const auto I = LoadMode::Interactive;
    const Case cases[] = {
        {"unchanged", 3, 0, I, Answer::Cancel, true, {}, CloseAnswer::Close, 0},
        {"one, saved", 1, 1, I, Answer::Yes, true, {one}, CloseAnswer::Close, 1},
        {"one, save fails", 1, 1, I, Answer::Yes, false, {one}, CloseAnswer::KeepOpen, 1},
        {"one, discarded", 1, 1, I, Answer::No, true, {one}, CloseAnswer::Close, 0},
        {"one, cancelled", 1, 1, I, Answer::Cancel, true, {one}, CloseAnswer::KeepOpen, 0},
        {"two of two, saved", 2, 2, I, Answer::Yes, true, {many}, CloseAnswer::Close, 1},
        {"one of three, cancelled", 3, 1, I, Answer::Cancel, true, {many}, CloseAnswer::KeepOpen, 0},
        {"three, discarded", 3, 3, I, Answer::No, true, {many}, CloseAnswer::Close, 0},
        {"unattended", 2, 2, LoadMode::Picture, Answer::Cancel, true, {}, CloseAnswer::Close, 0},
    };
    for (const Case& c : cases) {
        resetDoc(c.mode);
        openStations(c.records);
        messages.clear();
        for (int i = 0; i < c.modified; ++i)
            doc->setRecordModified(c.records - 1 - i);
        int saves = 0;
        doc->setSaveHook([&](CEqDoc&, SaveMode mode, int slot) {
            EXPECT_EQ(mode, SaveMode::SaveAs);
            EXPECT_EQ(slot, -1);
            ++saves;
            return c.saveSucceeds;
        });
        if (!c.prompts.empty()) messages.queueAnswer(c.answer);
        EXPECT_EQ(doc->queryClose(), c.outcome) << c.name;
        EXPECT_EQ(messages.texts(), c.prompts) << c.name;
        EXPECT_EQ(saves, c.saves) << c.name;
        // Whatever was neither saved nor discarded is still marked.
        const bool handled =
            c.modified == 0 || c.answer == Answer::No || (c.answer == Answer::Yes && c.saveSucceeds);
        EXPECT_EQ(doc->anyRecordModified(), !handled || c.mode != I) << c.name;
    }
}

TEST_F(DocTest, DefaultSaveWritesSvx4AndRefusesOtherFormatsNames) {
    openStations(1);
    ASSERT_TRUE(doc->integrate());
    ASSERT_TRUE(doc->save(SaveMode::Save));
    EXPECT_FALSE(doc->anyRecordModified());
    RecordingMessages quiet;
    EventLoader other(quiet);
    const LoadResult back = other.load({doc->fileName(0), LoadMode::Interactive, kForceNone, 0, nullptr});
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(+back.channels[0].record.header.sampleType, 2); // integrated data are kept as floats
    for (int i = 0; i < doc->commonCount(); i += 17)
        EXPECT_FLOAT_EQ(static_cast<float>(back.channels[0].samples[i]),
                        static_cast<float>(doc->samples(0)[i]));
    EXPECT_EQ(back.channels[0].record.info.history,
              std::vector<std::string>{"Integrate - Velocity to Displacement"});

    resetDoc(LoadMode::PictureServer);
    openStations(1);
    EXPECT_FALSE(doc->save(SaveMode::Save));
}

TEST_F(DocTest, SettingsAreReadAndWrittenBack) {
    IniProfile profile(dir / "TELLURIX.INI");
    profile.setInt("Settings", "CropMessage", 0);
    CEqDoc withSettings(messages, loader, &profile);
    EXPECT_FALSE(withSettings.cropMessage());
    EXPECT_TRUE(withSettings.autoDcOffset());
    withSettings.toggleCropMessage();
    withSettings.setAutoDcOffset(false);
    withSettings.noteClosed();
    IniProfile reread(dir / "TELLURIX.INI");
    EXPECT_EQ(reread.getInt("Settings", "CropMessage", -1), 1);
    EXPECT_EQ(reread.getInt("Settings", "AutoDCOffset", -1), 0);
    EXPECT_EQ(reread.getInt("Settings", "RealtimeWindows", -1), 1);
    EXPECT_FALSE(reread.has("Settings", "FFTDCOffset")); // unchanged switches are not written
}

} // namespace
} // namespace tlx::test

namespace tlx::test {
namespace {

TEST_F(DocTest, ObserversHearWhatChanged) {
    struct Log : DocObserver {
        std::string seen;
        void recordsChanged() override { seen += "R"; }
        void selectionChanged() override { seen += "S"; }
        void samplesChanged() override { seen += "D"; }
        void statisticsChanged() override { seen += "T"; }
        void titleChanged(const std::string&) override { seen += "N"; }
        void cropped() override { seen += "C"; }
    } log;
    doc->addObserver(&log);
    doc->addObserver(&log); // once only
    const std::vector<double> x = rampSignal(300);
    ASSERT_TRUE(doc->open(OpenRequest{{file("A.svx", "A", x), file("B.svx", "B", x)}, kForceNone, {}}));
    EXPECT_EQ(log.seen, "RTN");
    log.seen.clear();
    doc->displayRecord(1);
    EXPECT_EQ(log.seen, "STN");
    log.seen.clear();
    doc->toggleCropMessage();
    ASSERT_TRUE(doc->crop({75, 100, 0.0}));
    EXPECT_EQ(log.seen, "CTND");
    doc->removeObserver(&log);
    log.seen.clear();
    doc->invert();
    EXPECT_EQ(log.seen, "");
}

} // namespace
} // namespace tlx::test
