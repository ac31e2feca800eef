#include <gtest/gtest.h>

#include "draughts/pdn.h"
#include "test_positions.h"

namespace draughts {
namespace {

using Moves = std::vector<std::string>;

std::vector<PdnGame> read(const std::string& text) {
    std::string error;
    std::vector<PdnGame> games = readPdn(text, error);
    EXPECT_EQ(error, "");
    return games;
}

struct MovetextCase {
    const char* name;
    const char* text;
    Moves moves;
    const char* result;
};

const MovetextCase movetextCases[] = {
    {"numbers apart, joined and for black", "1. 32-28 19-23 2.28x19 2...14x23 3. ... 37-32", {"32-28", "19-23", "28x19", "14x23", "37-32"}, ""},
    {"comments, even with a result or brackets in them", "32-28 {a draw 1-1 (or not} 19-23 ; 2-0 to the line's end\n28x19 *",
     {"32-28", "19-23", "28x19"}, "*"},
    {"nested variations with comments", "32-28 (32-27 (31-26 {)} 17-21) 19-23) 19-23 (19-24) 2-0", {"32-28", "19-23"}, "2-0"},
    {"judgements and NAGs", "32-28! 19-23?! $4 28x19!! 14x23? 1-0", {"32-28", "19-23", "28x19", "14x23"}, "1-0"},
    {"variation straight after a move", "32-28(33-29)19-23 0-1", {"32-28", "19-23"}, "0-1"},
    {"other results", "32-28 1/2-1/2", {"32-28"}, "1/2-1/2"},
    {"a word that is no move is kept for the checker to name", "32-28 foo 0-0", {"32-28", "foo"}, "0-0"},
};

TEST(Pdn, MovetextGivesTheMovesPlayedAndTheResult) {
    for (const MovetextCase& c : movetextCases) {
        SCOPED_TRACE(c.name);
        const std::vector<PdnGame> games = read(c.text);
        ASSERT_EQ(games.size(), 1u);
        EXPECT_EQ(games[0].moves, c.moves);
        EXPECT_EQ(games[0].result, c.result);
    }
}

TEST(Pdn, ReadsEveryGameOfAFileWithItsTags) {
    const std::vector<PdnGame> games = read(
        "\xEF\xBB\xBF[Event \"Club \\\"Open\\\" 2024\"]\r\n[White \"A\"]\n[Result \"2-0\"]\n\n1. 32-28 19-23 2-0\n\n"
        "[Event \"Two\"]\n[GameType \"20\"]\n[FEN \"B:W28:B19,K7\"]\n1... 19-23 2. 28x19 *\n"
        "33-29 17-21\n"
        "[Event \"Four\"]\n34-30\n[Event \"Five\"]\n[Result \"1-1\"]\n");
    ASSERT_EQ(games.size(), 5u);
    EXPECT_EQ(tagOf(games[0], "Event"), "Club \"Open\" 2024");
    EXPECT_EQ(tagOf(games[0], "Black"), "");
    EXPECT_EQ(games[0].tags.size(), 3u);
    EXPECT_EQ(games[0].moves, (Moves{"32-28", "19-23"}));
    EXPECT_FALSE(games[0].start);
    EXPECT_EQ(startOf(games[0]), Position::start());

    EXPECT_EQ(games[1].moves, (Moves{"19-23", "28x19"}));
    EXPECT_EQ(startOf(games[1]), positionOf("B:W28:B19,K7"));
    EXPECT_EQ(games[1].result, "*");

    EXPECT_EQ(games[2].moves, (Moves{"33-29", "17-21"}));
    EXPECT_TRUE(games[2].tags.empty());
    EXPECT_EQ(games[2].result, "");

    EXPECT_EQ(games[3].moves, Moves{"34-30"});
    EXPECT_EQ(games[3].result, "");
    // No result in the movetext: the tag's.
    EXPECT_EQ(games[4].result, "1-1");
    EXPECT_TRUE(read("  \n{only a comment}\n").empty());
}

TEST(Pdn, NamesTheLineOfAFaultAndGivesTheGamesBeforeIt) {
    const std::pair<const char*, const char*> faults[] = {
        {"32-28 2-0\n\n19-23 {unclosed\n28x19", "line 3: a comment that opens with '{' is not closed"},
        {"32-28 2-0\n\n19-23 (28x19\n", "line 3: a variation that opens with '(' is not closed"},
        {"32-28 2-0\n\n19-23 )", "line 3: a ')' closes no variation"},
        {"32-28 2-0\n\n[Event \"x", "line 3: a tag's value that opens with '\"' is not closed"},
        {"32-28 2-0\n\n[Event \"x\"", "line 3: a tag is written as [Name \"value\"]"},
        {"32-28 2-0\n\n[Event \"x\"]]", "line 3: a ']' closes no tag"},
        {"32-28 2-0\n\n]", "line 3: a ']' closes no tag"},
        {"32-28 2-0\n\n1. 32-28 19-23 }", "line 3: a '}' closes no comment"},
        {"32-28 2-0\n\n[Event x]", "line 3: a tag is written as [Name \"value\"]"},
        {"32-28 2-0\n\n[FEN \"W:W99\"]", "line 3: the FEN tag names no position: '99' names no square"},
    };
    for (const auto& [text, message] : faults) {
        std::string error;
        const std::vector<PdnGame> games = readPdn(text, error);
        EXPECT_EQ(error.substr(0, std::string(message).size()), message) << text;
        ASSERT_EQ(games.size(), 1u) << text;
        EXPECT_EQ(games[0].moves, Moves{"32-28"});
    }
}

TEST(Pdn, WrittenGamesReadBackTheSame) {
    PdnGame fromStart{{{"Event", "a \"quoted\" \\ name"}, {"GameType", "20"}}, {}, "2-0", std::nullopt};
    for (int i = 0; i < 30; ++i) fromStart.moves.push_back(i % 2 ? "19-23" : "32-28");
    PdnGame blackFirst{{}, {"19-23", "28x19", "14x23"}, "", positionOf("B:W28,33:B14,19")};
    PdnGame nothingYet{{{"Event", "Live"}}, {}, "", std::nullopt};

    EXPECT_EQ(writePdn(blackFirst), "[FEN \"B:W28,33:B14,19\"]\n\n1... 19-23 2. 28x19 14x23 *\n");
    for (const PdnGame& game : {fromStart, blackFirst, nothingYet}) {
        const std::string text = writePdn(game);
        for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', end + 1)) {
            EXPECT_LE(end - text.rfind('\n', end - 1), 81u) << text;
        }
        const std::vector<PdnGame> back = read(text);
        ASSERT_EQ(back.size(), 1u) << text;
        EXPECT_EQ(back[0].moves, game.moves) << text;
        EXPECT_EQ(back[0].result, game.result.empty() ? "*" : game.result) << text;
        EXPECT_EQ(back[0].start, game.start) << text;
        EXPECT_EQ(tagOf(back[0], "Event"), tagOf(game, "Event")) << text;
    }
}

}  // namespace
}  // namespace draughts
