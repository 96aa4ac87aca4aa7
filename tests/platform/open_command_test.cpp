#include "platform/open_command.h"

#include <gtest/gtest.h>

namespace tlx {
namespace {

TEST(OpenCommand, PathListsAndRefusals) {
    const struct {
        const char* text;
        std::vector<std::string> paths;
    } cases[] = {
        {R"([open("/data/A.svx|/data/b c.sac")])", {"/data/A.svx", "/data/b c.sac"}},
        {R"([OPEN("/data/x.svx,/data/y.svx")])", {"/data/x.svx", "/data/y.svx"}}, // paths keep their case
        {R"([open("relative.svx")])", {}},                                        // no absolute path
        {R"([print("/data/a.svx")])", {}},                                        // not an open command
        {R"([open("/data/a.svx")", {}},                                           // no closing bracket
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseOpenCommand(c.text), c.paths) << c.text;
    const std::vector<std::string> round = {"/a/one.svx", "/b/two.svx"};
    EXPECT_EQ(parseOpenCommand(openCommandText(round)), round);
}

} // namespace
} // namespace tlx
