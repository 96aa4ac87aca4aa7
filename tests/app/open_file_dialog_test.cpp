// "Open File" used as a user does: a folder listed with its summaries, sorted by clicking the
// column header, three rows picked with the mouse and opened into one window; the next opening
// takes the summaries from the cache and reads only a file that changed. The search dialog finds
// by magnitude and shows its results in the list.
#include "app/file_search_dialog.h"
#include "app/open_file_dialog.h"
#include "program_fixture.h"

#include <QHeaderView>
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

} // namespace
} // namespace tlx::app
