#include "core/ini_profile.h"

#include "core/atomic_file.h"
#include "core/file_io.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

const char* kSample = "; settings\r\n"
                      "[Settings]\r\n"
                      "Directory = /data/events \r\n"
                      "autodcoffset=0\r\n"
                      "AutoDCOffset=1\r\n"
                      "Quoted=\"with spaces \"\r\n"
                      "\r\n"
                      "[Colors]\r\n"
                      "Background=255 255 255\r\n"
                      "[settings]\r\n"
                      "Late=1\r\n";

TEST(IniProfile, ReadsWithWindowsProfileRules) {
    IniProfile ini;
    ini.loadText(kSample);
    EXPECT_EQ(ini.getString("SETTINGS", "directory"), "/data/events");
    EXPECT_EQ(ini.getInt("Settings", "AutoDCOffset", 7), 0) << "first match wins";
    EXPECT_EQ(ini.getString("Settings", "Quoted"), "with spaces ");
    EXPECT_EQ(ini.getInt("Settings", "Late", 5), 5) << "only the first section of a name is read";
    EXPECT_EQ(ini.getInt("Settings", "Missing", 42), 42);
    EXPECT_EQ(ini.getString("Colors", "Background"), "255 255 255");
    EXPECT_FALSE(ini.has("Map", "Zoom"));
}

TEST(IniProfile, NumbersTakeTheLeadingPartOrTheDefault) {
    IniProfile ini;
    ini.loadText("[S]\na=12abc\nb=abc\nc=-3.5e2x\n");
    EXPECT_EQ(ini.getInt("S", "a", 0), 12);
    EXPECT_EQ(ini.getInt("S", "b", 9), 9);
    EXPECT_DOUBLE_EQ(ini.getDouble("S", "c", 0), -350.0);
}

TEST(IniProfile, WritingOneKeyKeepsEveryOtherLine) {
    test::TempDir dir;
    const auto path = dir / "TELLURIX.INI";
    ASSERT_TRUE(writeFileAtomically(path, std::string(kSample)));
    IniProfile ini(path);
    ASSERT_TRUE(ini.setInt("settings", "AUTODCOFFSET", 1));
    ASSERT_TRUE(ini.setString("Colors", "Trace", "  0   0 255"));
    ASSERT_TRUE(ini.setString("Map", "Zoom", "3"));

    IniProfile reread(path);
    EXPECT_EQ(reread.getInt("Settings", "AutoDCOffset", 0), 1);
    EXPECT_EQ(reread.getString("Settings", "Directory"), "/data/events");
    EXPECT_EQ(reread.getString("Colors", "Trace"), "0   0 255");
    EXPECT_EQ(reread.getInt("Map", "Zoom", 0), 3);
    std::string text;
    ASSERT_TRUE(readTextFile(path, text));
    EXPECT_NE(text.find("; settings"), std::string::npos) << "comments survive";
    EXPECT_LT(text.find("Background"), text.find("Trace=")) << "a new key goes at the end of its section";
}

TEST(IniProfile, WriteRereadsTheFileSoOtherWritersSurvive) {
    test::TempDir dir;
    const auto path = dir / "TELLURIX.INI";
    IniProfile first(path), second(path);
    ASSERT_TRUE(first.setString("Settings", "A", "1"));
    ASSERT_TRUE(second.setString("Settings", "B", "2"));
    IniProfile reread(path);
    EXPECT_EQ(reread.getString("Settings", "A"), "1");
    EXPECT_EQ(reread.getString("Settings", "B"), "2");
}

} // namespace
} // namespace tlx
