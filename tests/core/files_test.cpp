#include "core/atomic_file.h"
#include "core/debug_log.h"
#include "core/file_io.h"
#include "core/text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

TEST(AtomicFile, CommitReplacesAndAbandonKeepsTheOldFile) {
    test::TempDir dir;
    const auto path = dir / "event.svx";
    ASSERT_TRUE(writeFileAtomically(path, std::string("old")));
    {
        AtomicFileWriter writer(path);
        ASSERT_TRUE(writer.open());
        ASSERT_TRUE(writer.write("new contents", 12));
        // destroyed without commit: as if the program failed half-way
    }
    std::string text;
    ASSERT_TRUE(readTextFile(path, text));
    EXPECT_EQ(text, "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary left";

    AtomicFileWriter writer(path);
    ASSERT_TRUE(writer.open());
    ASSERT_TRUE(writer.write("xxxx-tail", 9));
    ASSERT_TRUE(writer.writeAt(0, "head", 4));
    ASSERT_TRUE(writer.commit());
    ASSERT_TRUE(readTextFile(path, text));
    EXPECT_EQ(text, "head-tail");
}

TEST(AtomicFile, FailsWhenTheFolderDoesNotExist) {
    test::TempDir dir;
    EXPECT_FALSE(writeFileAtomically(dir / "missing" / "x.txt", std::string("x")));
}

TEST(FileIo, FindsDataFilesWhateverTheirCase) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "local");
    ASSERT_TRUE(writeFileAtomically(dir / "MagTbl.DAT", std::string("x")));
    EXPECT_EQ(findFileAnyCase(dir.path(), "magtbl.dat").filename(), "MagTbl.DAT");
    EXPECT_TRUE(findFileAnyCase(dir.path(), "MAGCORR.DAT").empty());
    EXPECT_EQ(findDataFile({dir / "local", {}, dir.path()}, "MAGTBL.DAT").filename(), "MagTbl.DAT");
}

TEST(DebugLog, FirstMessageOfARunStartsTheFileAfresh) {
    test::TempDir dir;
    ASSERT_TRUE(writeFileAtomically(dir / "tlx.log", std::string("previous run\n")));
    setDebugLogDirectory(dir.path().string());
    logLine("one");
    logFormat("two %d", 2);
    setDebugLogDirectory({});
    logLine("not written");
    std::string text;
    ASSERT_TRUE(readTextFile(dir / "tlx.log", text));
    EXPECT_EQ(text, "one\ntwo 2\n");
}

TEST(Text, FieldsAndNumbers) {
    char field[6];
    copyToField(field, sizeof field, "ABCDEFGH");
    EXPECT_EQ(fieldText(field, sizeof field), "ABCDEF") << "a full field has no terminator";
    copyToField(field, sizeof field, "AB");
    EXPECT_EQ(fieldText(field, sizeof field), "AB");
    EXPECT_EQ(shortestDouble(0.1), "0.1");
    EXPECT_EQ(std::stod(shortestDouble(1.0 / 3.0)), 1.0 / 3.0);
    EXPECT_EQ(split("a,,b", ','), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(iequals("MagTbl", "MAGTBL"));
    EXPECT_EQ(format("%s %d", "x", 5), "x 5");
}

} // namespace
} // namespace tlx

namespace tlx {
namespace {

TEST(Text, LinesSplitCutAndSkipComments) {
    struct Case {
        const char* name;
        const char* text;
        std::size_t maxLength;
        char comment;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"CR before LF dropped, last line without LF kept", "a\r\nb\nc", 100, 0, {"a", "b", "c"}},
        {"empty lines kept", "a\n\nb\n", 100, 0, {"a", "", "b"}},
        {"long lines cut, rest dropped", "abcdef\ngh\n", 3, 0, {"abc", "gh"}},
        {"comment lines passed over", "! x\nkey\n!y\n", 100, '!', {"key"}},
        {"comment char inside a line is text", "a!b\n", 100, '!', {"a!b"}},
    };
    for (const auto& c : cases) {
        TextLines lines(c.text, c.maxLength, c.comment);
        std::vector<std::string> got;
        for (std::string_view line; lines.next(line);) got.emplace_back(line);
        EXPECT_EQ(got, c.lines) << c.name;
    }
}

} // namespace
} // namespace tlx
