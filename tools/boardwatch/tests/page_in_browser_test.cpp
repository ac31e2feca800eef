// The page in a real browser: Chromium, headless, loads it before the game
// begins and keeps it open while boardsim plays; what it shows at the end
// came through the page's events. boardwatch is then stopped, which ends
// the event stream and lets the browser's virtual time run out, and the
// browser writes out the page as it stands.
#include <unistd.h>

#include <draughts/fen.h>

#include "watch_processes.h"

namespace watchtest {
namespace {

const char* const chromium = "/usr/bin/chromium";

// The browser with a home and a profile of its own (it runs as nobody too),
// without the sandbox (it runs as root too) and without reaching out.
std::unique_ptr<ChildProcess> loadPage(const std::string& home, const std::string& url) {
    const std::string script =
        "HOME=\"$1\" exec " + std::string(chromium) +
        " --headless --no-sandbox --disable-gpu --disable-background-networking --disable-component-update"
        " --disable-sync --no-first-run --disable-default-apps --user-data-dir=\"$1/profile\""
        " --virtual-time-budget=5000 --dump-dom \"$2\" 2>/dev/null";
    return std::make_unique<ChildProcess>(std::vector<std::string>{"/bin/sh", "-c", script, "sh", home, url});
}

// The values of an attribute in the page's text, in order.
std::vector<std::string> valuesOf(const std::string& page, const std::string& attribute) {
    std::vector<std::string> values;
    const std::string start = attribute + "=\"";
    for (std::size_t at = page.find(start); at != std::string::npos; at = page.find(start, at + 1)) {
        const std::size_t from = at + start.size();
        values.push_back(page.substr(from, page.find('"', from) - from));
    }
    return values;
}

std::vector<std::string> movesShown(const std::string& page) {
    std::vector<std::string> moves;
    const std::string start = "<span class=\"move\">";
    for (std::size_t at = page.find(start); at != std::string::npos; at = page.find(start, at + 1)) {
        const std::size_t from = at + start.size();
        moves.push_back(page.substr(from, page.find('<', from) - from));
    }
    return moves;
}

TEST_F(WatchedGame, TheBrowserShowsTheFinalPositionAndTheMoves) {
    if (::access(chromium, X_OK) != 0) GTEST_SKIP() << "no " << chromium << " (scripts/setup.sh installs it)";
    startWatch();
    const ScratchFolder home;
    const auto browser = loadPage(home.path(), "http://127.0.0.1:" + std::to_string(pagePort) + "/");
    ASSERT_TRUE(watch->waitForConsole("page: 1 watching", 60s)) << watch->console();

    startBoardsimPlayingTheGame();
    startRelay();
    ASSERT_TRUE(waitForMoves(gameMoves.size())) << watch->console();
    // The page hears of the last move within 100 ms; ten times that is
    // left before boardwatch stops.
    std::this_thread::sleep_for(1s);
    watch.reset();
    ASSERT_TRUE(browser->waitForExit(90s)) << "the browser did not write out the page";

    const std::string page = browser->consoleAtEnd();
    EXPECT_EQ(movesShown(page), gameMoves) << page;
    const std::vector<std::string> squares = valuesOf(page, "data-square"), pieces = valuesOf(page, "data-piece");
    ASSERT_EQ(squares.size(), pieces.size());
    draughts::Position shown = draughts::Position::empty();
    for (std::size_t i = 0; i < squares.size(); ++i) {
        shown.put(std::stoi(squares[i]), draughts::pieceOfLetter(pieces[i][0]).value_or(draughts::Piece::None));
    }
    shown.setToMove(draughts::Side::White);
    EXPECT_EQ(draughts::fenOf(shown), gameEnd);
}

}  // namespace
}  // namespace watchtest
