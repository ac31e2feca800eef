// The page in a real browser while it is live: Chromium, headless, driven
// through its DevTools protocol, loads it before the game begins and is
// asked what it shows while boardsim plays and the event stream stays
// open: the players, the moves with the last one marked in the list and on
// the diagram, the position; eight boards on a hall's screen without
// scrolling, a phone's width, and one board alone.
#include <unistd.h>

#include <draughts/fen.h>

#include "browser_page.h"
#include "watch_processes.h"

namespace watchtest {
namespace {

using testing_support::BrowserPage;

// What the page shows of its first card.
const char* const firstCard = R"(JSON.stringify((() => {
  const card = document.querySelector(".board");
  if (!card) return null;
  return {
    title: card.querySelector("h2").textContent,
    moves: [...card.querySelectorAll(".move")].map((m) => m.textContent),
    last: [...card.querySelectorAll(".move.last")].map((m) => m.textContent),
    marked: [...card.querySelectorAll(".last-move")].map((r) => Number(r.dataset.square)),
    pieces: [...card.querySelectorAll(".piece")].map((p) => [Number(p.dataset.square), p.dataset.piece]),
    cards: document.querySelectorAll(".board").length,
  };
})()))";

const char* const fitsTheWindow = R"((() => {
  const page = document.documentElement;
  const cards = [...document.querySelectorAll(".board")];
  return page.scrollWidth <= innerWidth && page.scrollHeight <= innerHeight &&
         cards.every((card) => card.getBoundingClientRect().bottom <= innerHeight);
})())";

TEST_F(WatchedGame, TheLivePageShowsThePlayersTheMovesAndTheLastMoveOnEveryScreen) {
    if (::access(BrowserPage::chromium, X_OK) != 0) GTEST_SKIP() << "no chromium (scripts/setup.sh installs it)";
    std::string rows = "board,relay,white,black\n1,127.0.0.1:" + std::to_string(relayPort) + "/COM3,Jansen,de Vries\n";
    const int nobody = freeTcpPort();
    for (int board = 2; board <= 8; ++board) {
        rows += std::to_string(board) + ",127.0.0.1:" + std::to_string(nobody) + "/COM" + std::to_string(board) + ",A,B\n";
    }
    startWatch({"--round", scratch.write("round.csv", rows)});
    const std::string address = "http://127.0.0.1:" + std::to_string(pagePort);
    const ScratchFolder home;
    BrowserPage page(home.path(), 1920, 1080);
    page.open(address + "/");
    ASSERT_TRUE(watch->waitForConsole("page: 1 watching", 60s)) << watch->console();

    startBoardsimPlayingTheGame();
    startRelay();
    nlohmann::json shown;
    ASSERT_TRUE(waitUntil([&] {
        shown = nlohmann::json::parse(page.evaluate(firstCard).get<std::string>());
        return shown.is_object() && shown["moves"].size() == gameMoves.size();
    })) << shown;
    EXPECT_EQ(shown["title"], "1Jansen \u2013 de Vries");
    EXPECT_EQ(shown["moves"].get<std::vector<std::string>>(), gameMoves);
    EXPECT_EQ(shown["last"], nlohmann::json::array({"17x48"}));
    EXPECT_EQ(shown["marked"], nlohmann::json::array({17, 48}));
    draughts::Position position = draughts::Position::empty();
    for (const auto& piece : shown["pieces"]) {
        position.put(piece[0].get<int>(),
                     draughts::pieceOfLetter(piece[1].get<std::string>()[0]).value_or(draughts::Piece::None));
    }
    position.setToMove(draughts::Side::White);
    EXPECT_EQ(draughts::fenOf(position), gameEnd);
    EXPECT_EQ(shown["cards"], 8);
    EXPECT_TRUE(page.evaluate(fitsTheWindow)) << "eight boards fit 1920x1080";
    page.resize(390, 844);
    EXPECT_TRUE(page.evaluate("document.documentElement.scrollWidth <= innerWidth")) << "a phone's width";

    page.open(address + "/board/1");
    ASSERT_TRUE(waitUntil([&] {
        shown = nlohmann::json::parse(page.evaluate(firstCard).get<std::string>());
        return shown.is_object() && shown["moves"].size() == gameMoves.size();
    })) << shown;
    EXPECT_EQ(shown["cards"], 1);
}

}  // namespace
}  // namespace watchtest
