// "WinCorvid / Corvid Replay": the request reaches the recorder's folder, and the event file the
// recorder leaves is opened in an event window.
#include "app/replay_dialog.h"
#include "core/file_io.h"
#include "program_fixture.h"

#include <QListWidget>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

namespace tlx::app {
namespace {

TEST(GuiReplay, RequestIsWrittenAndTheReplayedFileOpens) {
    Program p;
    const auto events = p.dir / "events";
    const auto requests = p.dir / "rq";
    std::filesystem::create_directory(events);
    std::filesystem::create_directory(requests);
    std::ofstream(p.dir / "REPLAY.DAT") << events.string() << "\nr:\nab,3,1," << requests.string() << "\n";
    const std::string cut = p.writeEvent("cut.svx");

    CCorvidReplay dialog(p.ctx, p.frame.get());
    dialog.openFile = [&](const std::string& file) { p.frame->openFiles({file}); };
    auto* channels = dialog.findChild<QListWidget*>();
    ASSERT_EQ(channels->count(), 1);
    EXPECT_EQ(channels->item(0)->text(), "AB\tWinCorvid # 3");
    channels->item(0)->setSelected(true);
    dialog.setStart(CivilTime{2024, 3, 1, 11, 58, 0, 0});
    dialog.show();
    saveScreenshot(&dialog, "replay.png");

    // The recorder: reads the request, then leaves the event file where it was asked to.
    std::string request;
    QTimer recorder;
    QObject::connect(&recorder, &QTimer::timeout, [&] {
        for (const auto& entry : std::filesystem::directory_iterator(requests))
            if (request.empty() && readTextFile(entry.path(), request))
                std::filesystem::copy_file(cut, events / "03011158.AB.svx");
    });
    recorder.start(100);
    QTest::mouseClick(buttonOf(&dialog, "&Replay"), Qt::LeftButton);

    EXPECT_EQ(request.substr(0, 23), "3 1 24 11 58 U 10 1 AB ");
    EXPECT_NE(request.find("03011158.AB.svx"), std::string::npos) << request;
    const std::vector<EventWindow*> windows = p.frame->eventWindows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows[0]->doc().record(0).fileName, (events / "03011158.AB.svx").string());
    ASSERT_TRUE(p.ctx.lastReplay);
    EXPECT_EQ(p.ctx.lastReplay->names, std::vector<std::string>{"AB"});
}

} // namespace
} // namespace tlx::app
