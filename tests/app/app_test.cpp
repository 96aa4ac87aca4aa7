#include "app/app_settings.h"
#include "app/command_line.h"
#include "support/svx4_builder.h"
#include "support/temp_dir.h"

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

// Runs the tellurix program with an argument vector and the offscreen platform; -1 when it does
// not end within 60 s (a message box waiting for an answer) and is killed.
int runTellurix(const std::vector<std::string>& args, const std::filesystem::path& home,
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
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    int status = 0;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; ++waited) {
        if (waited == 600) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        usleep(100'000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::filesystem::path writeEvent(const test::TempDir& dir) {
    test::Svx4Spec spec;
    spec.samples.resize(3000);
    for (std::size_t i = 0; i < spec.samples.size(); ++i)
        spec.samples[i] = std::round(1000 * std::sin(i * 0.02));
    const auto path = dir / "Quake.One.svx";
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

} // namespace
} // namespace tlx::app
