#include "core/atomic_file.h"
#include "core/debug_log.h"
#include "core/file_io.h"
#include "core/text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

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
        LongLines longLines = LongLines::Cut;
    };
    const Case cases[] = {
        {"CR before LF dropped, last line without LF kept", "a\r\nb\nc", 100, 0, {"a", "b", "c"}},
        {"empty lines kept", "a\n\nb\n", 100, 0, {"a", "", "b"}},
        {"long lines cut, rest dropped", "abcdef\ngh\n", 3, 0, {"abc", "gh"}},
        {"comment lines passed over", "! x\nkey\n!y\n", 100, '!', {"key"}},
        {"comment char inside a line is text", "a!b\n", 100, '!', {"a!b"}},
        {"long lines continue as the next line",
         "abcdefg\r\nh",
         3,
         0,
         {"abc", "def", "g", "h"},
         LongLines::Continue},
    };
    for (const auto& c : cases) {
        TextLines lines(c.text, c.maxLength, c.comment, c.longLines);
        std::vector<std::string> got;
        for (std::string_view line; lines.next(line);)
            got.emplace_back(line);
        EXPECT_EQ(got, c.lines) << c.name;
    }
}

TEST(Text, NumberParserTakesOnlyWholeFiniteDecimalNumbers) {
    struct Case {
        const char* text;
        bool isDouble;
        double value;
        bool isInt;
        long long integer;
    };
    const Case cases[] = {
        {" 12 ", true, 12, true, 12},
        {"\t-0\r\n", true, -0.0, true, 0},
        {"+7", true, 7, true, 7},
        {"2.5e-3", true, 0.0025, false, 0},
        {".5", true, 0.5, false, 0},
        {"9223372036854775807", true, 9223372036854775807.0, true, 9223372036854775807LL},
        {"9223372036854775808", true, 9223372036854775808.0, false, 0},
        {"-9223372036854775808", true, -9223372036854775808.0, true, INT64_MIN},
        {"1e400", false, 0, false, 0},
        {"-1e400", false, 0, false, 0},
        {"inf", false, 0, false, 0},
        {"-infinity", false, 0, false, 0},
        {"nan", false, 0, false, 0},
        {"0x1A", false, 0, false, 0},
        {"0x1p3", false, 0, false, 0},
        {"12x", false, 0, false, 0},
        {"1 2", false, 0, false, 0},
        {"", false, 0, false, 0},
        {"  ", false, 0, false, 0},
        {"+-1", false, 0, false, 0},
        {"-", false, 0, false, 0},
    };
    for (const Case& c : cases) {
        double d = 99;
        long long i = 99;
        EXPECT_EQ(parseDouble(c.text, d), c.isDouble) << '"' << c.text << '"';
        EXPECT_EQ(parseInt(c.text, i), c.isInt) << '"' << c.text << '"';
        if (c.isDouble) {
            EXPECT_EQ(d, c.value) << c.text;
            EXPECT_EQ(std::signbit(d), std::signbit(c.value)) << c.text;
        } else {
            EXPECT_EQ(d, 99) << "a refused text leaves the value alone: " << c.text;
        }
        if (c.isInt) {
            EXPECT_EQ(i, c.integer) << c.text;
        }
    }
    int narrow = 0;
    EXPECT_TRUE(parseInt("-2147483648", narrow));
    EXPECT_EQ(narrow, INT32_MIN);
    EXPECT_FALSE(parseInt("2147483648", narrow)) << "out of the int range";

    // The lenient forms take the leading number of a longer field through the same parser.
    EXPECT_EQ(leadingDouble("  3.5km"), 3.5);
    EXPECT_EQ(leadingDouble("inf"), 0);
    EXPECT_EQ(leadingDouble("1e999x"), std::numeric_limits<double>::max());
    EXPECT_EQ(leadingDouble("1e-999"), 0);
    EXPECT_EQ(leadingInt(" -42abc"), -42);
    EXPECT_EQ(leadingInt("99999999999"), INT32_MAX);
    int v[4] = {};
    EXPECT_EQ(scanInts("1 -2 +3 x", v, 4), 3);
    EXPECT_EQ(v[2], 3);
}

} // namespace
} // namespace tlx
