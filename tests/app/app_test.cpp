#include "app/app_settings.h"
#include "app/command_line.h"
#include "app/single_instance.h"
#include "core/file_io.h"
#include "core/text.h"
#include "program_fixture.h"
#include "record/loader.h"
#include "record/sac_writer.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tlx::app {
namespace {

TEST(CommandLine, Forms) {
    const struct {
        std::vector<std::string> args;
        RunMode mode;
        std::vector<std::string> files;
        std::string target;
    } cases[] = {
        {{}, RunMode::Normal, {}, ""},
        {{"/g", "a.svx"}, RunMode::Picture, {"a.svx"}, ""},
        {{"/G", "a.svx", "out.gif"}, RunMode::Picture, {"a.svx"}, "out.gif"},
        {{"/p", "a.svx"}, RunMode::Print, {"a.svx"}, ""},
        {{"/s", "ab"}, RunMode::Normal, {}, ""},                // too short: ignored
        {{"/s", "/tmp/req"}, RunMode::Server, {}, "/tmp/req/"}, // separator appended
        {{"/c", "dir/", "out"}, RunMode::Convert, {"dir/"}, "out"},
        {{"a.svx,b.svx|c.svx"}, RunMode::Normal, {"a.svx", "b.svx", "c.svx"}, ""},
        {{"a.svx", "b.svx"}, RunMode::Normal, {"a.svx", "b.svx"}, ""},
    };
    for (const auto& c : cases) {
        const CommandLine cl = parseCommandLine(c.args);
        EXPECT_EQ(cl.mode, c.mode) << ::testing::PrintToString(c.args);
        EXPECT_EQ(cl.files, c.files) << ::testing::PrintToString(c.args);
        EXPECT_EQ(cl.target, c.target) << ::testing::PrintToString(c.args);
    }
    EXPECT_TRUE(parseCommandLine({std::string(5000, 'x')}).tooLong);
    EXPECT_TRUE(parseCommandLine({std::string(5000, 'x')}).files.empty());
}

TEST(AppSettings, DefaultsAndBounds) {
    IniProfile ini;
    ini.loadText("[Settings]\nGifWidth=5000\nGifHeight=50\nYLines=3\nPrintLeft=9999\nDistance=0\n");
    const AppSettings s = readAppSettings(ini, "/prog", true);
    EXPECT_EQ(s.gifWidth, 2048);
    EXPECT_EQ(s.gifHeight, 100);
    EXPECT_EQ(s.view.yLines, 3);
    EXPECT_FALSE(s.view.distance);
    EXPECT_LE(s.print.left, 340);
    EXPECT_TRUE(s.longFileNames);
    EXPECT_EQ(s.localDirectory, "/prog");
}

// Starts the tellurix program with an argument vector and the offscreen platform.
pid_t startTellurix(const std::vector<std::string>& args, const std::filesystem::path& home,
                    const std::vector<std::string>& extraEnv = {}) {
    std::vector<std::string> all = {TELLURIX_EXE};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "TELLURIX_HOME=" + home.string(),
                                    "HOME=" + home.string()};
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0 ? pid : -1;
}

// The exit code; -1 when the program does not end within `seconds` (a message box waiting for an
// answer) and is killed.
int waitTellurix(pid_t pid, int seconds = 60) {
    if (pid <= 0) return -1;
    int status = 0;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; ++waited) {
        if (waited == seconds * 10) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        usleep(100'000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int runTellurix(const std::vector<std::string>& args, const std::filesystem::path& home,
                const std::vector<std::string>& extraEnv = {}) {
    return waitTellurix(startTellurix(args, home, extraEnv));
}

// Waits up to 30 s for `done`.
template <class Done> bool eventually(Done done) {
    for (int i = 0; i < 300 && !done(); ++i)
        usleep(100'000);
    return done();
}

std::filesystem::path writeEvent(const test::TempDir& dir, const std::string& name = "Quake.One.svx",
                                 double frequency = 0.02) {
    test::Svx4Spec spec;
    spec.samples.resize(3000);
    for (std::size_t i = 0; i < spec.samples.size(); ++i)
        spec.samples[i] = std::round(1000 * std::sin(i * frequency));
    const auto path = dir / name;
    test::writeBytes(path, test::buildSvx4(spec));
    return path;
}

TEST(BatchModes, PictureModeWritesAGifOfTheConfiguredSizeAndColours) {
    test::TempDir dir;
    test::writeBytes(dir / "TELLURIX.INI", {});
    {
        IniProfile ini(dir / "TELLURIX.INI");
        ini.setInt("Settings", "GifWidth", 320);
        ini.setInt("Settings", "GifHeight", 240);
        ini.setString("Colors", "Background", " 10  20  30");
    }
    const auto event = writeEvent(dir);
    ASSERT_EQ(runTellurix({"/g", event.string()}, dir.path()), 0);
    const auto gifPath = dir / "quake_one_svx.gif";
    ASSERT_TRUE(std::filesystem::exists(gifPath));
    int error = 0;
    GifFileType* gif = DGifOpenFileName(gifPath.c_str(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(gif->SWidth, 320);
    EXPECT_EQ(gif->SHeight, 240);
    ASSERT_NE(gif->SColorMap, nullptr);
    EXPECT_EQ(gif->SColorMap->ColorCount, 256);
    const GifColorType corner = gif->SColorMap->Colors[gif->SavedImages[0].RasterBits[320 * 240 - 1]];
    EXPECT_EQ(corner.Red, 10);
    EXPECT_EQ(corner.Green, 20);
    EXPECT_EQ(corner.Blue, 30);
    DGifCloseFile(gif, &error);
}

TEST(BatchModes, PrintModeWithoutAPrinterWritesAPdf) {
    test::TempDir dir;
    const auto event = writeEvent(dir);
    const auto pdf = dir / "page.pdf";
    ASSERT_EQ(runTellurix({"/p", event.string(), pdf.string()}, dir.path()), 0);
    const std::vector<std::uint8_t> bytes = test::readBytes(pdf);
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "%PDF-");
}

// A first start in an empty program folder opens the file and asks nothing: every table it needs
// comes from the shipped data (a message box here would wait for ever).
TEST(BatchModes, FirstStartOpensTheFileWithoutAQuestion) {
    test::TempDir dir;
    const auto event = writeEvent(dir);
    EXPECT_EQ(runTellurix({event.string()}, dir.path(), {"TLX_STARTUP_TIMING=quit"}), 0);
}

TEST(BatchModes, MissingFileEndsWithAFailureAndNoDialog) {
    test::TempDir dir;
    EXPECT_EQ(runTellurix({"/g", (dir / "absent.svx").string()}, dir.path()), 1);
}

LoadResult loadFile(const std::filesystem::path& path) {
    RecordingMessages messages;
    EventLoader loader(messages, LoaderSettings{});
    LoadRequest request;
    request.fileName = path.string();
    return loader.load(request);
}

// "/c folder/ out": SVX Type 4 and SAC sources come out as SVX Type 4 files with the same
// samples; a dot-name and a file that is no event file are left alone.
TEST(CommandLineModes, ConversionOfAFolderOfMixedFiles) {
    test::TempDir dir;
    const auto source = dir / "in";
    std::filesystem::create_directories(source);
    const auto svx = writeEvent(dir, "in/first.svx", 0.02);
    const auto other = writeEvent(dir, "other.svx", 0.05);
    const LoadResult sacSource = loadFile(other);
    ASSERT_TRUE(sacSource.ok);
    RecordingMessages messages;
    const LoadedChannel& c = sacSource.channels.front();
    ASSERT_TRUE(
        writeSacFile(source / "second.sac", {&c.record, c.samples, 0}, {}, SacByteOrder::Big, messages));
    writeEvent(dir, "in/.hidden.svx");
    test::writeBytes(source / "notes.txt", {'n', 'o', 't', 'e', '\n'});

    ASSERT_EQ(runTellurix({"/c", source.string() + "/", (dir / "out").string()}, dir.path()), 0);
    const struct {
        std::filesystem::path written, from;
    } pairs[] = {{dir / "out/first.svx", svx}, {dir / "out/second.svx", other}};
    for (const auto& p : pairs) {
        const LoadResult out = loadFile(p.written);
        ASSERT_TRUE(out.ok) << p.written;
        EXPECT_EQ(out.kind, kKindSvx4);
        EXPECT_EQ(out.subKind, SubKind::Binary);
        EXPECT_EQ(out.channels.front().samples, loadFile(p.from).channels.front().samples) << p.written;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out/.hidden.svx"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out/notes.svx"));
}

// "/s": two requests become two images (each request file taken away), "stop" ends the program.
TEST(CommandLineModes, PictureServerServesTwoRequestsAndStops) {
    test::TempDir dir;
    const auto requests = dir / "req";
    std::filesystem::create_directories(requests);
    const pid_t server = startTellurix({"/s", requests.string()}, dir.path());
    ASSERT_GT(server, 0);
    // The second request names a data set: the record with the largest peak is drawn alone.
    std::vector<test::Svx4Spec> channels(3);
    for (std::size_t c = 0; c < channels.size(); ++c) {
        channels[c].samples.resize(2000);
        for (std::size_t i = 0; i < 2000; ++i)
            channels[c].samples[i] = std::round(5000 + (c == 1 ? 900 : 300) * std::sin(i * 0.03));
    }
    test::writeBytes(dir / "two.svx", test::buildSvxVolume(channels));
    for (const std::string name : {"one", "two"}) {
        const auto event = name == "one" ? writeEvent(dir, "one.svx") : dir / "two.svx";
        const auto image = dir / (name + ".gif");
        const std::string text = event.string() + " " + image.string() + "\n";
        test::writeBytes(requests / ("RQ" + name + ".REQ"),
                         std::vector<std::uint8_t>(text.begin(), text.end()));
        EXPECT_TRUE(eventually([&] {
            std::error_code ec;
            return std::filesystem::file_size(image, ec) > 100 && !ec;
        })) << name;
        EXPECT_FALSE(std::filesystem::exists(requests / ("RQ" + name + ".REQ")));
    }
    test::writeBytes(requests / "rqlast.req", {'s', 't', 'o', 'p', '\n'});
    EXPECT_EQ(waitTellurix(server, 30), 0);
    std::string log;
    ASSERT_TRUE(readTextFile(dir / "tlx.log", log));
    EXPECT_NE(log.find("GIF Server Mode Enabled Request File Location = " + requests.string() + "/"),
              std::string::npos);
    EXPECT_NE(log.find("GIF Server: record 2 of " + (dir / "two.svx").string()), std::string::npos) << log;
}

// A second start with a file hands it to the running program and ends; the first opens it.
TEST(CommandLine, NamesOfFilesInTheWorkingFolderBecomeWholePaths) {
    test::TempDir dir;
    writeEvent(dir, "here.svx");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    CommandLine cl = parseCommandLine({"here.svx,elsewhere.svx"});
    anchorToWorkingDirectory(cl);
    std::filesystem::current_path(before);
    EXPECT_EQ(cl.files, (std::vector<std::string>{(dir / "here.svx").string(), "elsewhere.svx"}));
}

TEST(CommandLineModes, SecondInstanceHandsItsFileOver) {
    test::TempDir dir;
    const auto first = writeEvent(dir, "first.svx");
    const auto second = writeEvent(dir, "second.svx");
    const pid_t running = startTellurix({first.string()}, dir.path());
    ASSERT_GT(running, 0);
    const std::filesystem::path socket = "/tmp/" + instanceName(dir.path()).toStdString();
    ASSERT_TRUE(eventually([&] { return std::filesystem::exists(socket); }));
    EXPECT_EQ(runTellurix({second.string()}, dir.path()), 0);
    std::string log;
    EXPECT_TRUE(eventually([&] {
        return readTextFile(dir / "tlx.log", log) &&
               log.find("open command: " + second.string() + " opened") != std::string::npos;
    })) << log;
    kill(running, SIGTERM);
    waitTellurix(running, 10);
}

// The main window writes its keys when it closes; the next start reads every one back and places
// the window where it was.
TEST(GuiShell, EveryKeyWrittenOnExitIsReadBackAtTheNextStart) {
    std::string written;
    AppSettings before;
    QRect placed;
    std::filesystem::path firstDir;
    {
        Program p;
        firstDir = p.dir.path();
        p.frame->run(Cmd::StatusBar);
        p.frame->run(Cmd::ToolBar);
        p.frame->setGeometry(40, 50, 700, 500);
        AppSettings& s = p.ctx.settings;
        s.reportFile = "quakes.rpt";
        s.reportType = 3;
        s.reportFilter = 0;
        s.displayMapRegion = false;
        s.eventDirectory = p.dir / "events";
        for (int i = 0; i < 10; ++i) // more than the menu keeps
            p.open({p.writeEvent("event" + std::to_string(i) + ".svx")});
        p.open({p.writeEvent("event3.svx")}); // opened again: to the front
        p.ctx.messages.setSuppressed(false);  // the unattended modes write nothing
        ASSERT_TRUE(p.frame->close());
        before = s;
        placed = p.frame->geometry();
        ASSERT_TRUE(readTextFile(p.dir / "TELLURIX.INI", written));
    }
    Program next(written);
    next.frame->placeWindow(QRect(0, 0, 1920, 1080));
    const AppSettings& after = next.ctx.settings;
    EXPECT_FALSE(after.statusBar);
    EXPECT_FALSE(next.frame->statusBar()->isVisible());
    EXPECT_EQ(after.toolBar, before.toolBar);
    EXPECT_EQ(after.framePos, before.framePos);
    EXPECT_EQ(next.frame->geometry(), placed);
    EXPECT_EQ(after.reportFile, before.reportFile);
    EXPECT_EQ(after.reportType, before.reportType);
    EXPECT_EQ(after.reportFilter, before.reportFilter);
    EXPECT_EQ(after.displayMapRegion, before.displayMapRegion);
    EXPECT_EQ(after.eventDirectory, before.eventDirectory);
    ASSERT_EQ(after.recentFiles.entries().size(), 8u);
    EXPECT_EQ(after.recentFiles.entries(), before.recentFiles.entries());
    EXPECT_EQ(after.recentFiles.entries()[0], (firstDir / "event3.svx").string());
    EXPECT_EQ(after.recentFiles.entries()[1], (firstDir / "event9.svx").string());
    EXPECT_EQ(after.recentDirectories.entries(), std::vector<std::string>{firstDir.string()});
}

// Help shows the manual shipped with the program (F1, the Help menu's first entry).
TEST(GuiShell, HelpShowsTheShippedManual) {
    Program p;
    QApplication::setActiveWindow(p.frame.get());
    QTest::keyClick(p.frame.get(), Qt::Key_F1);
    QApplication::processEvents();
    QTextBrowser* browser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == "Tellurix Help") browser = w->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->documentTitle(), "Tellurix User Manual");
    saveScreenshot(browser->window(), "help-window.png");
    browser->window()->close();
}

} // namespace
} // namespace tlx::app
