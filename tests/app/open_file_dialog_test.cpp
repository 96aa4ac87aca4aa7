// "Open File" used as a user does: a folder listed with its summaries, sorted by clicking the
// column header, three rows picked with the mouse and opened into one window; the next opening
// takes the summaries from the cache and reads only a file that changed. The search dialog finds
// by magnitude and shows its results in the list. Convert turns an old Type 3 file into SVX Type 4
// under its long name; Add Report stores the chosen report in the selected files.
#include "app/convert_question.h"
#include "app/file_search_dialog.h"
#include "app/open_file_dialog.h"
#include "format_fixtures.h"
#include "program_fixture.h"
#include "services/report_types.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {
namespace fs = std::filesystem;

std::vector<std::string> column(QTreeWidget* list, int c) {
    std::vector<std::string> out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out.push_back(list->topLevelItem(i)->text(c).toStdString());
    return out;
}

void clickRow(QTreeWidget* list, const QString& name, Qt::KeyboardModifiers modifiers) {
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == name)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                              list->visualItemRect(list->topLevelItem(i)).center());
}

void waitForListing(COpenFileDialog* d) {
    ASSERT_TRUE(QTest::qWaitFor([d] { return d->listingDone(); }, 10000));
}

TEST(GuiOpenFile, ListsSortsOpensThreeIntoOneWindowAndReusesTheCache) {
    Program p;
    fs::create_directories(p.dir / "events");
    p.ctx.settings.eventDirectory = p.dir / "events";
    for (const char* station : {"CCC", "AAA", "BBB"})
        p.writeEvent(std::string("events/") + station + ".svx", station);
    test::Svx4Spec quake;
    quake.sensorId = "QQQ";
    quake.start.hour = 11; // earliest
    quake.samples = test::rampSignal(3000);
    quake.blocks = {test::eventBlock({}, 40.0, -120.0, 10.0, 450), test::textBlock(3, "regional")};
    test::writeBytes(p.dir / "events/quake.svx", test::buildSvx4(quake));
    test::writeBytes(p.dir / "events/notes.txt", std::vector<std::uint8_t>(300, 'x'));

    bool shown = answerDialog<COpenFileDialog>(*p.frame, Cmd::Open, [&](COpenFileDialog* d) {
        waitForListing(d);
        QTreeWidget* list = d->list();
        EXPECT_EQ(d->headerReads(), 5);
        // Sorted by time at first, equal times by station; a click on the column reverses.
        EXPECT_EQ(column(list, 0), (std::vector<std::string>{"quake.svx", "AAA.svx", "BBB.svx", "CCC.svx"}));
        EXPECT_EQ(column(list, 2)[0], "regional (Z)");
        QHeaderView* header = list->header();
        auto clickHeader = [&](int section) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(section) + 10, header->height() / 2));
        };
        clickHeader(1);
        EXPECT_EQ(column(list, 0), (std::vector<std::string>{"CCC.svx", "BBB.svx", "AAA.svx", "quake.svx"}));
        clickHeader(0);
        EXPECT_EQ(column(list, 0), (std::vector<std::string>{"quake.svx", "CCC.svx", "BBB.svx", "AAA.svx"}));
        QTest::qWait(20); // the view lays out its rows later
        saveScreenshot(d, "open_file_dialog.png");
        clickRow(list, "AAA.svx", Qt::NoModifier);
        clickRow(list, "CCC.svx", Qt::ControlModifier);
        clickRow(list, "BBB.svx", Qt::ControlModifier);
        QTest::mouseClick(buttonOf(d, "&Open File"), Qt::LeftButton);
    });
    ASSERT_TRUE(shown);
    QApplication::processEvents();
    ASSERT_EQ(p.frame->eventWindows().size(), 1u);
    EXPECT_EQ(p.frame->eventWindows()[0]->doc().recordCount(), 3);
    const IniProfile written(p.dir / "TELLURIX.INI");
    EXPECT_EQ(written.getInt("Settings", "FileOpenType", -1), 0);
    EXPECT_EQ(written.getInt("Settings", "FileOpenDirection", -1), 1);

    // The next opening reads nothing unchanged; Update after a touch reads that one file.
    shown = answerDialog<COpenFileDialog>(*p.frame, Cmd::Open, [&](COpenFileDialog* d) {
        waitForListing(d);
        EXPECT_EQ(d->headerReads(), 0);
        EXPECT_EQ(column(d->list(), 0),
                  (std::vector<std::string>{"quake.svx", "CCC.svx", "BBB.svx", "AAA.svx"}));
        const fs::path touched = p.dir / "events/BBB.svx";
        fs::last_write_time(touched, fs::last_write_time(touched) + std::chrono::seconds(3));
        QTest::mouseClick(buttonOf(d, "&Update"), Qt::LeftButton);
        waitForListing(d);
        EXPECT_EQ(d->headerReads(), 1);

        // A live search by magnitude lists what it found.
        QTimer::singleShot(0, [&] {
            auto* search = dynamic_cast<CFileSearchDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(search, nullptr);
            auto* minMag = search->findChildren<QLineEdit*>()[0];
            minMag->clear();
            QTest::keyClicks(minMag, "4");
            saveScreenshot(search, "file_search_dialog.png");
            QTest::mouseClick(buttonOf(search, "&Search"), Qt::LeftButton);
        });
        QTest::mouseClick(buttonOf(d, "&Search..."), Qt::LeftButton);
        EXPECT_EQ(column(d->list(), 0), std::vector<std::string>{"quake.svx"});
        d->reject();
    });
    ASSERT_TRUE(shown);
    EXPECT_EQ(IniProfile(p.dir / "TELLURIX.INI").getString("Settings", "FileSearch", ""),
              "1,0,100,4,10.0,0.1,12000.0, , , ,1,1,1,0.1,800.0");
}

TEST(GuiOpenFile, ConvertBothTurnsATypeThreeFileIntoSvxType4UnderItsLongName) {
    Program p;
    fs::create_directories(p.dir / "events");
    p.ctx.settings.eventDirectory = p.dir / "events";
    test::Svx3Spec old;
    for (std::size_t i = 0; i < old.samples.size(); ++i)
        old.samples[i] = static_cast<std::int16_t>((i * 37) % 2001) - 1000;
    test::writeBytes(p.dir / "events/ev.abc", test::buildSvx3(old));
    p.writeEvent("events/new.svx", "NEW");

    const bool shown = answerDialog<COpenFileDialog>(*p.frame, Cmd::Open, [&](COpenFileDialog* d) {
        waitForListing(d);
        clickRow(d->list(), "ev.abc", Qt::NoModifier);
        clickRow(d->list(), "new.svx", Qt::ControlModifier);
        bool asked = false;
        QTimer::singleShot(0, [&] {
            auto* ask = dynamic_cast<CConvertQuestion*>(QApplication::activeModalWidget());
            ASSERT_NE(ask, nullptr);
            asked = true;
            std::vector<std::string> texts;
            for (QLabel* l : ask->findChildren<QLabel*>())
                texts.push_back(l->text().toStdString());
            EXPECT_NE(std::find(texts.begin(), texts.end(), "Format: 1 File to Convert"), texts.end());
            EXPECT_NE(std::find(texts.begin(), texts.end(), "Name: 1 File to Convert"), texts.end());
            saveScreenshot(ask, "convert_question.png");
            QTest::mouseClick(buttonOf(ask, "Convert &Both"), Qt::LeftButton);
        });
        QTest::mouseClick(buttonOf(d, "Con&vert"), Qt::LeftButton);
        EXPECT_TRUE(asked);
        waitForListing(d);
        auto names = column(d->list(), 0);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"030512.143000.abc.svx", "new.svx"}));
        d->reject();
    });
    ASSERT_TRUE(shown);
    RecordingMessages quiet;
    const LoadResult back = EventLoader(quiet).load({(p.dir / "events/030512.143000.abc.svx").string()});
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.kind, kKindSvx4);
    EXPECT_EQ(back.subKind, SubKind::Binary);
    EXPECT_EQ(back.channels[0].record.header.sampleType, 0);
    ASSERT_EQ(back.channels[0].samples.size(), old.samples.size());
    for (std::size_t i = 0; i < old.samples.size(); ++i)
        ASSERT_EQ(back.channels[0].samples[i], old.samples[i]) << i;
    EXPECT_TRUE(quiet.messages().empty()); // the CRC holds
}

TEST(GuiOpenFile, AddReportStoresTheChosenReportInTheSelectedFiles) {
    Program p;
    fs::create_directories(p.dir / "events");
    p.ctx.settings.eventDirectory = p.dir / "events";
    const std::string svx = p.writeEvent("events/AAA.svx", "AAA");
    test::writeBytes(p.dir / "events/old.abc", test::buildSvx3({}));
    const auto oldBytes = test::readBytes(p.dir / "events/old.abc");
    test::Svx4Spec damaged;
    damaged.samples = test::rampSignal(200);
    damaged.crcOverride = 0x1234;
    test::writeBytes(p.dir / "events/bad.svx", test::buildSvx4(damaged));
    const auto badBytes = test::readBytes(p.dir / "events/bad.svx");
    auto addReport = [&] {
        return answerDialog<COpenFileDialog>(*p.frame, Cmd::Open, [&](COpenFileDialog* d) {
            waitForListing(d);
            clickRow(d->list(), "AAA.svx", Qt::NoModifier);
            clickRow(d->list(), "old.abc", Qt::ControlModifier);
            clickRow(d->list(), "bad.svx", Qt::ControlModifier);
            QTest::mouseClick(buttonOf(d, "&Add Report"), Qt::LeftButton);
            waitForListing(d);
            d->reject();
        });
    };
    RecordingMessages quiet;
    // No report chosen yet: nothing is written.
    const auto before = test::readBytes(svx);
    ASSERT_TRUE(addReport());
    EXPECT_EQ(test::readBytes(svx), before);

    p.ctx.reports.setTypes(
        parseReportDat("\"CSV\"\nREPORT_3,0,0,\"\"\nREPORT_TYPE,0,0,\"DATE,TIME,LAT,LON\"\n"));
    p.ctx.reports.parse("DATE,TIME,LAT,LON,DEPTH,MAG,TYPE,AGENCY\n"
                        "2024/03/01,11:58:10.0,35.7,-121.1,7.6,6.5,Mw,NC\n",
                        0, true);
    ASSERT_EQ(p.ctx.reports.rows().size(), 1u);
    p.ctx.reports.select(0);
    ASSERT_TRUE(addReport());
    const LoadResult back = EventLoader(quiet).load({svx});
    ASSERT_TRUE(back.ok);
    EXPECT_TRUE(quiet.messages().empty()); // the rewritten file's CRC holds
    const auto& events = back.channels[0].record.info.events;
    ASSERT_EQ(events.size(), 1u);
    const double latitude = events[0].latitude;
    EXPECT_DOUBLE_EQ(latitude, 35.7);
    EXPECT_EQ(+events[0].magMw, 650);
    EXPECT_EQ(back.channels[0].samples.size(), 6000u);
    // The Type 3 file is not one that Save rewrites: it stays as it was.
    EXPECT_EQ(test::readBytes(p.dir / "events/old.abc"), oldBytes);
    // A file with a CRC error is not rewritten with a fresh CRC over its damaged data.
    EXPECT_EQ(test::readBytes(p.dir / "events/bad.svx"), badBytes);
}

} // namespace
} // namespace tlx::app
