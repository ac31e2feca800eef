// boardsim's command line, and the choice of a game from a file.
#include <gtest/gtest.h>

#include "board_setup.h"
#include "options.h"

namespace {

using namespace boardsim;
using Words = std::vector<std::string>;

TEST(Options, OptionsThatDoNotFitAreRefusedWithTheReason) {
    const std::pair<Words, const char*> cases[] = {
        {{"--game-number", "2"}, "--game-number goes with --game"},
        {{"--game", "a.pdn", "--game-number", "0"}, "--game-number takes 1 to 99999, not '0'"},
        {{"--game", "a.pdn", "--game", "b.pdn"}, "--game is given once"},
        {{"--replay", "r.txt", "--script", "s.txt"},
         "--replay plays a recording alone: no position, game, script, moves or --free"},
        {{"--replay", "r.txt", "32-28"}, "--replay plays a recording alone: no position, game, script, moves or --free"},
        {{"--pace", "60001"}, "--pace takes milliseconds from 0 to 60000, not '60001'"},
        {{"--script"}, "--script needs a value"},
        {{"--fast"}, "unknown option '--fast'"},
    };
    for (const auto& [words, expected] : cases) {
        std::string error;
        EXPECT_FALSE(parseOptions(words, error)) << ::testing::PrintToString(words);
        EXPECT_EQ(error, expected);
    }
    std::string error;
    const std::optional<Options> options = parseOptions(
        {"--position", "W:W31:B1", "--game", "g.pdn", "--game-number", "3", "--script", "s.txt", "--free", "32-28"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->position, "W:W31:B1");
    EXPECT_EQ(options->gameNumber, 3);
    EXPECT_EQ(options->scriptFile, "s.txt");
    EXPECT_TRUE(options->freeRules);
    EXPECT_EQ(options->moves, Words{"32-28"});
}

TEST(Options, TheGameNumberedIsTakenFromAFileOfSeveral) {
    const std::string file =
        "[Event \"one\"]\n1. 32-28 19-23 1-0\n\n[Event \"two\"]\n[FEN \"W:W31:B1\"]\n1. 31-26 *\n";
    std::string error;
    const std::optional<draughts::PdnGame> second = gameNumbered(file, 2, error);
    ASSERT_TRUE(second) << error;
    EXPECT_EQ(draughts::tagOf(*second, "Event"), "two");
    EXPECT_EQ(second->moves, Words{"31-26"});
    EXPECT_FALSE(gameNumbered(file, 3, error));
    EXPECT_EQ(error, "2 games in it, not 3");
    // What follows the game is not read.
    EXPECT_TRUE(gameNumbered(file + "}", 2, error)) << error;
    EXPECT_FALSE(gameNumbered(file + "}", 3, error));
    EXPECT_EQ(error, "line 7: a '}' closes no comment");
    error.clear();
    EXPECT_FALSE(gameNumbered("", 1, error));
    EXPECT_EQ(error, "no game in it");
}

}  // namespace
