// A round as an organiser runs it, through boardsim, damrelay and the real
// boardwatch: the round file's names in the games' files and tags, every
// game at /round.pdn as our own reader reads it, the arbiter's result with
// and without the token, and boardwatch started again in the middle of a
// game.
#include <draughts/pdn.h>

#include "watch_processes.h"

namespace watchtest {
namespace {

const std::string token = "kR3v8ZqXy2Lw9pTf-arbiter";

std::string moves(std::size_t from, std::size_t to) {
    std::string text;
    for (std::size_t i = from; i < to; ++i) text += gameMoves[i] + " ";
    return text + "\n";
}

class WatchedRound : public WatchedGame {
protected:
    // Board 5 follows the relay; board 2's relay is not there.
    void startRound(std::vector<std::string> more = {}) {
        const std::string round = scratch.write(
            "round.csv", "Board,White,Black,Relay,Rating\r\n"
                         "5,\"Jansen, Jan\",\"Anna \"\"de\"\" Vries\",127.0.0.1:" + std::to_string(relayPort) +
                             "/COM3,2100\r\n"
                         "2,Smit,Bakker,127.0.0.1:" + std::to_string(deadPort) + "/COM3,\r\n");
        std::vector<std::string> words{"--round", round, "--event", "Dutch Open", "--site", "Utrecht",
                                       "--date", "2026.12.09", "--round-tag", "3"};
        words.insert(words.end(), more.begin(), more.end());
        startWatch(words);
    }
    nlohmann::json boardNumbered(int number) {
        const std::optional<std::string> state = httpGet(pagePort, "/state.json");
        if (!state) return nlohmann::json();
        const nlohmann::json all = nlohmann::json::parse(*state);
        for (const auto& board : all["boards"]) {
            if (board["number"] == number) return board;
        }
        return nlohmann::json();
    }
    bool waitForMovesOn5(std::size_t count) {
        return waitUntil([&] { return boardNumbered(5)["moves"].size() == count; });
    }
    std::string post(const std::string& result, const std::string& authorization) {
        return httpExchange(pagePort, "POST /board/5/result HTTP/1.1\r\nHost: 127.0.0.1\r\n" + authorization +
                                          "Content-Length: " + std::to_string(result.size()) + "\r\nConnection: close\r\n\r\n" +
                                          result);
    }

    const int deadPort = freeTcpPort();
    const std::string fileName = "20261209-R3-B5-Jansen_Jan-Anna_de_Vries.pdn";
};

TEST_F(WatchedRound, NamesTheGamesAndTheirFilesAndGivesEveryGameAtRoundPdn) {
    startBoardsimPlayingTheGame();
    startRelay();
    startRound();
    ASSERT_TRUE(waitForMovesOn5(gameMoves.size())) << watch->console();
    EXPECT_EQ(boardNumbered(5)["white"], "Jansen, Jan");
    // Why board 2 is not followed, on the page and the console.
    const std::string refused = "refused: nothing listens on 127.0.0.1:" + std::to_string(deadPort);
    EXPECT_EQ(boardNumbered(2)["linkDetail"], refused);
    EXPECT_TRUE(watch->waitForConsole("board 2: not reached: " + refused)) << watch->console();

    ASSERT_EQ(pdnFiles().size(), 1u);
    EXPECT_EQ(std::filesystem::path(pdnFiles()[0]).filename(), fileName);
    const std::string answer = httpExchange(pagePort, "GET /round.pdn HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    const std::size_t body = answer.find("\r\n\r\n");
    ASSERT_NE(body, std::string::npos) << answer;
    EXPECT_NE(answer.find("Content-Type: text/plain; charset=utf-8"), std::string::npos) << answer;
    std::string error;
    const std::vector<draughts::PdnGame> games = draughts::readPdn(answer.substr(body + 4), error);
    ASSERT_EQ(games.size(), 2u) << error;
    EXPECT_EQ(draughts::tagOf(games[0], "Board"), "2");
    EXPECT_TRUE(games[0].moves.empty());
    EXPECT_EQ(games[1].moves, gameMoves);
    const std::vector<std::pair<std::string, std::string>> tags{
        {"Event", "Dutch Open"}, {"Site", "Utrecht"}, {"Date", "2026.12.09"}, {"Round", "3"},
        {"White", "Jansen, Jan"}, {"Black", "Anna \"de\" Vries"}, {"Result", "*"}, {"GameType", "20"}, {"Board", "5"}};
    const std::vector<draughts::PdnGame> file = draughts::readPdn(readFile(pdnFiles()[0]), error);
    ASSERT_EQ(file.size(), 1u) << error;
    for (const auto& [tag, value] : tags) {
        EXPECT_EQ(draughts::tagOf(games[1], tag), value) << tag;
        EXPECT_EQ(draughts::tagOf(file[0], tag), value) << tag;
    }
    const std::size_t etag = answer.find("ETag: ");
    ASSERT_NE(etag, std::string::npos);
    const std::string tag = answer.substr(etag + 6, answer.find("\r\n", etag) - etag - 6);
    EXPECT_NE(httpExchange(pagePort, "GET /round.pdn HTTP/1.1\r\nHost: 127.0.0.1\r\nIf-None-Match: " + tag +
                                         "\r\nConnection: close\r\n\r\n")
                  .find("HTTP/1.1 304 Not Modified"),
              std::string::npos);
}

TEST_F(WatchedRound, TakesTheArbitersResultWithTheTokenOnlyAndFromTheConsole) {
    startBoardsimPlayingTheGame();
    startRelay();
    startRound({"--arbiter-token-file", scratch.write("token", token + "\n")});
    ASSERT_TRUE(waitForMovesOn5(gameMoves.size())) << watch->console();
    EXPECT_NE(post("1-1", "").find("HTTP/1.1 401"), std::string::npos);
    EXPECT_NE(post("1-1", "Authorization: Bearer " + token + "x\r\n").find("HTTP/1.1 401"), std::string::npos);
    EXPECT_EQ(boardNumbered(5)["result"], "*");
    EXPECT_NE(post("1-1", "Authorization: Bearer " + token + "\r\n").find("HTTP/1.1 200"), std::string::npos);
    EXPECT_EQ(boardNumbered(5)["result"], "1-1");
    std::string error;
    ASSERT_TRUE(waitUntil([&] { return readFile(pdnFiles()[0]).find("[Result \"1-1\"]") != std::string::npos; }))
        << readFile(pdnFiles()[0]);
    EXPECT_EQ(draughts::readPdn(*httpGet(pagePort, "/round.pdn"), error)[1].result, "1-1");

    watch->type("result 5 0-2\n");
    ASSERT_TRUE(waitUntil([&] { return boardNumbered(5)["result"] == "0-2"; })) << watch->console();
    EXPECT_TRUE(watch->waitForConsole("board 5: result 0-2, as the arbiter entered it")) << watch->console();
}

TEST_F(WatchedRound, StartedAgainInTheMiddleOfAGameGoesOnInItsFile) {
    startBoardsim({});
    startRelay();
    startRound();
    ASSERT_TRUE(waitUntil([&] { return boardNumbered(5)["link"] == "following"; })) << watch->console();
    boardsim->type(moves(0, 10));
    ASSERT_TRUE(waitForMovesOn5(10)) << watch->console();
    // The relay ends with its program, and is started again for the next.
    ASSERT_EQ(watch->stop(1s, SIGTERM), 0);
    relay.reset();
    startRelay();
    startRound();
    EXPECT_EQ(boardNumbered(5)["moves"].size(), 10u);
    ASSERT_TRUE(watch->waitForConsole("board 5: game taken up where its file ends, after 10 moves")) << watch->console();
    boardsim->type(moves(10, gameMoves.size()));
    ASSERT_TRUE(waitForMovesOn5(gameMoves.size())) << watch->console();
    ASSERT_EQ(pdnFiles().size(), 1u);
    ASSERT_TRUE(waitUntil([&] { return readFile(pdnFiles()[0]).find(gameMoves.back()) != std::string::npos; }));
    std::string error;
    const std::vector<draughts::PdnGame> games = draughts::readPdn(readFile(pdnFiles()[0]), error);
    ASSERT_EQ(games.size(), 1u) << error;
    EXPECT_EQ(games[0].moves, gameMoves);
    EXPECT_FALSE(games[0].start) << "a game from the start has no FEN";
}

}  // namespace
}  // namespace watchtest
