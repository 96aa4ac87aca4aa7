// The Event Report dialog as a user works it: a report list fetched through the Network Event
// Report dialog from a loopback web server, matched with the open event, sorted by clicking its
// headings, a row clicked and stored into the records with OK, then replaced.
#include "app/report_dialog.h"
#include "app/report_net_dialog.h"
#include "platform/process.h"
#include "program_fixture.h"
#include "support/loopback.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

namespace tlx::app {
namespace {

// Around the generated event (2024-03-01 12:00:05 at 47.25N 122.5W): 20 min before, 95 s before
// (the match), 20 min after.
constexpr const char* kList = "DATE,TIME,LAT,LON,DEPTH,MAG,TYPE,AGENCY\n"
                              "2024/03/01,11:40:00.0,47.5,-122.0,10,3.1,Ml,UW\n"
                              "2024/03/01,11:58:30.5,46.2,-122.18,5.2,4.4,Mw,UW\n"
                              "2024/03/01,12:20:00.0,-17.9,178.3,560.7,6.1,mb,US\n";

QStringList column(QTreeWidget* rows, int c) {
    QStringList out;
    for (int i = 0; i < rows->topLevelItemCount(); ++i)
        out << rows->topLevelItem(i)->text(c);
    return out;
}

void clickHeading(QTreeWidget* rows, int section) {
    QHeaderView* header = rows->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(section) + 5, header->height() / 2));
}

TEST(GuiEventReport, FetchedListIsMatchedSortedAndStoredIntoTheRecords) {
    Program p;
    std::ofstream(p.dir / "list.txt") << kList;
    const int port = test::freeLoopbackPort();
    ChildProcess server;
    SpawnOptions options;
    options.discardStderr = options.captureStdout = true;
    options.workingDirectory = p.dir.path().string();
    ASSERT_TRUE(server.start(
        {"/usr/bin/python3", "-m", "http.server", "--bind", "127.0.0.1", std::to_string(port)}, options));
    for (int i = 0; i < 200 && !test::acceptsConnections(port); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::ofstream(p.dir / "NETWORK.DAT") << "http://127.0.0.1:" << port << "/list.txt (Loopback list)\n";

    EventWindow* w = p.open({p.writeEvent("a.svx")});
    ASSERT_NE(w, nullptr);
    const bool shown = answerDialog<CReport>(*p.frame, Cmd::EventReport, [&](CReport* d) {
        EXPECT_EQ(d->windowTitle(), "Event Report");
        // Network Report: the service list from NETWORK.DAT, Connect, the dialog closes on success.
        QTimer::singleShot(0, [&] {
            auto* net = dynamic_cast<CReportNet*>(QApplication::activeModalWidget());
            ASSERT_NE(net, nullptr);
            auto* services = net->findChild<QListWidget*>("services");
            ASSERT_EQ(services->count(), 1);
            EXPECT_EQ(services->item(0)->text().toStdString(),
                      "Loopback list - http://127.0.0.1:" + std::to_string(port) + "/list.txt");
            EXPECT_EQ(net->findChild<QLabel*>("name")->text(), "list_txt.rpt");
            saveScreenshot(net, "network_event_report.png");
            QTest::mouseClick(buttonOf(net, "&Connect"), Qt::LeftButton);
        });
        QTest::mouseClick(buttonOf(d, "&Network Report..."), Qt::LeftButton);

        auto* rows = d->findChild<QTreeWidget*>("reportRows");
        ASSERT_EQ(rows->topLevelItemCount(), 3);
        EXPECT_EQ(d->findChild<QLabel*>("reportFile")->text().toStdString(),
                  (p.dir / "list_txt.rpt").string());
        EXPECT_EQ(column(rows, 0),
                  QStringList({"03/01/24 11:40:00", "03/01/24 11:58:30", "03/01/24 12:20:00"}));
        // The row 95 s before the record start is chosen, with its distance from the station
        // (worked out independently in Python).
        EXPECT_EQ(rows->currentItem()->text(3), "Mw4.4");
        EXPECT_EQ(d->findChild<QLabel*>("distance")->text(), "119.32km  74.14mi");

        clickHeading(rows, 3);
        EXPECT_EQ(column(rows, 3), QStringList({"Ml3.1", "Mw4.4", "mb6.1"}));
        clickHeading(rows, 3);
        EXPECT_EQ(column(rows, 3), QStringList({"mb6.1", "Mw4.4", "Ml3.1"}));
        EXPECT_EQ(rows->currentItem()->text(3), "Mw4.4");
        EXPECT_EQ(p.ctx.ini.getInt("Settings", "ReportColumn", -1), 3);
        EXPECT_EQ(p.ctx.ini.getInt("Settings", "ReportDirection", -1), 1);

        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                          rows->visualItemRect(rows->topLevelItem(0)).center());
        EXPECT_EQ(d->findChild<QLabel*>("distance")->text(), "9313.32km  5787.03mi");
        saveScreenshot(d, "event_report.png");
        QTest::mouseClick(d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    ASSERT_TRUE(shown);
    const EventRecord& r = w->doc().record(0);
    ASSERT_EQ(r.info.events.size(), 1u);
    EXPECT_EQ(r.info.events[0].magMb, 610);
    EXPECT_EQ(formatIsoTime(r.info.events[0].originTime), "2024-03-01T12:20:00.000Z");
    EXPECT_EQ(std::string(r.info.events[0].source), "US");
    EXPECT_EQ(r.info.comment, "mb6.1, Fiji Islands");
    EXPECT_TRUE(w->doc().isModified());

    // Again: the list, its order and the chosen row are kept; Add / Replace asks, Replace keeps one.
    answerDialog<CReport>(*p.frame, Cmd::EventReport, [&](CReport* d) {
        auto* rows = d->findChild<QTreeWidget*>("reportRows");
        EXPECT_EQ(column(rows, 3), QStringList({"mb6.1", "Mw4.4", "Ml3.1"}));
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                          rows->visualItemRect(rows->topLevelItem(1)).center());
        QTimer::singleShot(0, [&] {
            auto* ask = dynamic_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(ask, nullptr);
            EXPECT_EQ(ask->windowTitle(), "Event Report Add / Replace Control");
            QTest::mouseClick(buttonOf(ask, "&Replace"), Qt::LeftButton);
        });
        QTest::mouseClick(buttonOf(d, "&Add / Replace Report"), Qt::LeftButton);
        d->reject();
    });
    ASSERT_EQ(r.info.events.size(), 1u);
    EXPECT_EQ(r.info.events[0].magMw, 440);
    server.kill(15);
}

} // namespace
} // namespace tlx::app
