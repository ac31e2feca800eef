// boardsim's command line, and the choice of a game from a file.
#include <gtest/gtest.h>

#include "board_setup.h"
#include "options.h"

namespace {

using namespace boardsim;
using Words = std::vector<std::string>;

TEST(Options, OptionsThatDoNotFitAreRefusedWithTheReason) {
    const std::pair<Words, const char*> cases[] = {
        {{"--game-number", "2"}, "--game-number requires --game"},
        {{"--game", "a.pdn", "--game-number", "0"}, "--game-number: takes a game's number from 1 to 99999, not '0'"},
        {{"--game", "a.pdn", "--game", "b.pdn"}, "--game: At Most 1 required but received 2"},
        {{"--replay", "r.txt", "--script", "s.txt"},
         "--replay plays a recording alone: no position, game, script, moves or --free"},
        {{"--replay", "r.txt", "32-28"}, "--replay plays a recording alone: no position, game, script, moves or --free"},
        {{"--pace", "60001"}, "--pace: takes milliseconds from 0 to 60000, not '60001'"},
        {{"--script"}, "--script: 1 required TEXT missing"},
        {{"--fast"}, "The following argument was not expected: --fast"},
        {{"--link", "/tmp/board", "--tcp", "127.0.0.1:3333"}, "--link excludes --tcp"},
        {{"--tcp", "3333"}, "--tcp: takes ADDR:PORT, such as 127.0.0.1:3333 or [::1]:3333, not '3333'"},
        {{"--tcp", "localhost:65536"}, "--tcp: takes ADDR:PORT, such as 127.0.0.1:3333 or [::1]:3333, not 'localhost:65536'"},
#ifdef _WIN32
        {{"32-28"}, "on Windows the board is served over TCP: give --tcp ADDR:PORT, such as --tcp 127.0.0.1:3333"},
#endif
    };
    for (const auto& [words, expected] : cases) {
        std::string error;
        EXPECT_FALSE(parseOptions(words, error)) << ::testing::PrintToString(words);
        EXPECT_EQ(error, expected);
    }
    std::string error;
    const std::optional<Options> options = parseOptions(
        {"--tcp", "127.0.0.1:3333", "--position", "W:W31:B1", "--game", "g.pdn", "--game-number", "3", "--script",
         "s.txt", "--free", "32-28"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->position, "W:W31:B1");
    EXPECT_EQ(options->gameNumber, 3);
    EXPECT_EQ(options->scriptFile, "s.txt");
    EXPECT_TRUE(options->freeRules);
    EXPECT_EQ(options->moves, Words{"32-28"});

    for (const auto& [text, host] : {std::pair{"[::1]:0", "::1"}, std::pair{"pi.local:3333", "pi.local"}}) {
        const std::optional<Options> served = parseOptions({"--tcp", text}, error);
        ASSERT_TRUE(served && served->tcp) << error;
        EXPECT_EQ(served->tcp->host, host);
    }
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
