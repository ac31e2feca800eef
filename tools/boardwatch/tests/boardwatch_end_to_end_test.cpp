// boardsim plays a game, damrelay carries it, boardwatch follows it: the
// moves, the position and the PDN file as a viewer and an organiser get them.
#include <draughts/fen.h>
#include <draughts/notation.h>
#include <draughts/pdn.h>

#include "watch_processes.h"

namespace watchtest {
namespace {

std::string joined(const std::vector<std::string>& moves) {
    std::string text;
    for (const std::string& move : moves) text += move + " ";
    return text;
}

// The page's state and the game's file once the whole game is in.
void expectTheWholeGame(const nlohmann::json& state, const std::vector<std::string>& files) {
    EXPECT_EQ(state["moves"].get<std::vector<std::string>>(), gameMoves);
    EXPECT_EQ(state["position"], gameEnd);
    EXPECT_EQ(state["start"], draughts::fenOf(draughts::Position::start()));
    EXPECT_EQ(state["link"], "following");
    EXPECT_EQ(state["status"], "in position");
    EXPECT_EQ(state["result"], "*");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(std::filesystem::path(files[0]).filename(), state["file"].get<std::string>());
    std::string error;
    const std::vector<draughts::PdnGame> games = draughts::readPdn(readFile(files[0]), error);
    ASSERT_EQ(games.size(), 1u) << error;
    EXPECT_EQ(games[0].moves, gameMoves);
    EXPECT_EQ(draughts::tagOf(games[0], "GameType"), "20");
    EXPECT_EQ(draughts::tagOf(games[0], "Result"), "*");
    EXPECT_EQ(draughts::tagOf(games[0], "Board"), "1");
    EXPECT_EQ(draughts::tagOf(games[0], "Date").size(), 10u);
    // The file plays back to the same position.
    EXPECT_EQ(draughts::fenOf(draughts::checkGame(draughts::startOf(games[0]), games[0].moves).end), gameEnd);
}

TEST_F(WatchedGame, AGameWithCapturesAPromotionAndALiftedAndReplacedPieceGivesItsMovesPositionAndFile) {
    // After two moves a person lifts white's man on 33 and puts it back
    // (no move), then plays the game on with that man.
    const std::vector<std::string> opening(gameMoves.begin(), gameMoves.begin() + 2);
    const std::vector<std::string> rest(gameMoves.begin() + 2, gameMoves.end());
    ASSERT_EQ(rest.front(), "33-29");
    startBoardsim({"--script", scratch.write("game.txt", joined(opening) + "\nlift 33\nwait 200\nput 33 P\n" + joined(rest))});
    startRelay();
    startWatch();
    ASSERT_TRUE(waitForMoves(gameMoves.size())) << watch->console();
    const nlohmann::json state = board();
    expectTheWholeGame(state, pdnFiles());
    EXPECT_EQ(state["relay"], "127.0.0.1:" + std::to_string(relayPort) + "/COM3");
    ASSERT_TRUE(waitUntil([&] { return board()["clock"].is_object(); })) << board();
}

TEST_F(WatchedGame, ARelayThatGoesAwayIsFollowedAgainWhenItComesBack) {
    startWatch();
    ASSERT_TRUE(waitUntil([&] { return board()["link"] == "not reached"; })) << watch->console();
    EXPECT_EQ(board()["linkDetail"], "refused: nothing listens on 127.0.0.1:" + std::to_string(relayPort));
    startBoardsim({});
    startRelay();
    ASSERT_TRUE(waitUntil([&] { return board()["link"] == "following"; })) << watch->console();
    relay.reset();
    ASSERT_TRUE(waitUntil([&] { return board()["link"] == "not reached"; })) << watch->console();
    startRelay();
    ASSERT_TRUE(waitUntil([&] { return board()["link"] == "following"; })) << watch->console();
    EXPECT_EQ(board()["position"], draughts::fenOf(draughts::Position::start()));
}

}  // namespace
}  // namespace watchtest
