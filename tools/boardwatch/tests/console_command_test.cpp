// What the console takes: lines cut from any bytes, and the commands read
// from them.
#include "console_command.h"

#include <gtest/gtest.h>

namespace boardwatch {
namespace {

TEST(ConsoleCommand, ReadsResultsAndHelpAndSaysWhatIsWrong) {
    std::string error;
    const std::optional<ConsoleCommand> result = readConsoleCommand("  result 12   1-1 ", error);
    ASSERT_TRUE(result) << error;
    EXPECT_EQ(result->kind, ConsoleCommand::Kind::Result);
    EXPECT_EQ(result->board, 12);
    EXPECT_EQ(result->result, "1-1");
    EXPECT_EQ(readConsoleCommand("result 3 *", error)->result, "*");
    EXPECT_EQ(readConsoleCommand("help", error)->kind, ConsoleCommand::Kind::Help);
    EXPECT_EQ(readConsoleCommand("", error)->kind, ConsoleCommand::Kind::Nothing);
    for (const char* wrong : {"result 3 1-0", "result 0 2-0", "result x 2-0", "result 3", "result 3 2-0 now", "draw 3"}) {
        EXPECT_FALSE(readConsoleCommand(wrong, error)) << wrong;
    }
}

TEST(ConsoleLines, CutsLinesAcrossReadsAndDropsOnesTooLong) {
    ConsoleLines lines;
    EXPECT_TRUE(lines.take("resu").empty());
    const auto first = lines.take("lt 3 1-1\r\nhelp\n" + std::string(2000, 'x'));
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[0].text, "result 3 1-1");
    EXPECT_EQ(first[1].text, "help");
    EXPECT_TRUE(first[2].tooLong);
    const auto second = lines.take("xx\nhelp\n");
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].text, "help");
}

}  // namespace
}  // namespace boardwatch
