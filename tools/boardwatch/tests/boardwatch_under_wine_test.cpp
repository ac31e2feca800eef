// The Windows programs under Wine: boardwatch.exe following a relay, with
// its games' files, its console and Ctrl-C. A test runs when the variables
// it names give the programs and WINEPREFIX a Wine prefix whose wineserver
// is up (scripts/windows.sh); elsewhere it is skipped.
#include <cstdlib>

#include <draughts/pdn.h>

#include "game_file_name.h"
#include "watch_processes.h"

namespace watchtest {
namespace {

// Wine's first start in a process tree takes seconds: every wait is long.
constexpr auto wineStart = 60s;

std::string wine() {
    const char* named = std::getenv("DAMRELAY_WINE");
    return named ? named : "/usr/bin/wine";
}

// The Windows program that the variable names, or empty without Wine.
std::string windowsProgram(const char* variable) {
    const char* program = std::getenv(variable);
    return program != nullptr && std::getenv("WINEPREFIX") != nullptr ? program : "";
}

class UnderWine : public WatchedGame {
protected:
    // boardwatch.exe following the relay at relayPort, its games in the
    // scratch folder as Windows names it, on Wine's drive for "/".
    void launchWindowsWatch(const std::string& program) {
        launchWatch({wine(), program, "--http", "127.0.0.1:0", "--pdn", "Z:" + scratch.path(), "--date", date,
                     "127.0.0.1:" + std::to_string(relayPort) + "/COM3"},
                    wineStart);
    }
    const std::string date = "2026.12.09";
    const std::string fileBase = boardwatch::gameFileBase({"?", "?", date, "?"}, {1, "?", "?"}, 1, date);
};

TEST_F(UnderWine, BoardwatchFollowsAGameWritesItsFileBesideAStrangersTakesAResultAndEndsOnCtrlC) {
    const std::string program = windowsProgram("BOARDWATCH_WINDOWS_PROGRAM");
    if (program.empty()) GTEST_SKIP() << "BOARDWATCH_WINDOWS_PROGRAM and WINEPREFIX not set";
    const std::string strangers = scratch.write(fileBase + ".pdn", "a stranger's notes\n");
    startBoardsimPlayingTheGame();
    startRelay();
    launchWindowsWatch(program);
    ASSERT_TRUE(waitForMoves(gameMoves.size(), wineStart)) << watch->console();
    EXPECT_EQ(board()["moves"].get<std::vector<std::string>>(), gameMoves);

    // The arbiter's result, typed at the console.
    watch->type("result 1 2-0\n");
    ASSERT_TRUE(waitUntil([&] { return board()["result"] == "2-0"; }, wineStart)) << watch->console();
    // Ctrl-C: the file is whole before boardwatch ends.
    EXPECT_EQ(watch->stop(0s, SIGINT), 0) << watch->console();

    EXPECT_EQ(readFile(strangers), "a stranger's notes\n");
    std::string error;
    const std::vector<draughts::PdnGame> games = draughts::readPdn(readFile(scratch.path(fileBase + "-2.pdn")), error);
    ASSERT_EQ(games.size(), 1u) << error << watch->console();
    EXPECT_EQ(games[0].moves, gameMoves);
    EXPECT_EQ(draughts::tagOf(games[0], "Result"), "2-0");
}

}  // namespace
}  // namespace watchtest
