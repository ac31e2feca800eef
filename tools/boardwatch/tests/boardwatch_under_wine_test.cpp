// The Windows programs under Wine: boardwatch.exe following a relay, with
// its games' files, its console and Ctrl-C; and the three together as
// protocol.md shows a Windows author without a board. A test runs when the
// variables it names give the programs and WINEPREFIX a Wine prefix whose
// wineserver is up (scripts/windows.sh); elsewhere it is skipped.
#include <gmock/gmock.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include <draughts/pdn.h>

#include "document_examples.h"
#include "game_file_name.h"
#include "served_port.h"
#include "watch_processes.h"

namespace watchtest {
namespace {

// Wine's first start in a process tree takes seconds: every wait is long.
constexpr auto wineStart = 60s;
constexpr auto reply = 20s;

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
    // boardwatch.exe following the relay at relayPort (or the boards of
    // more), its games in the scratch folder as Windows names it, on Wine's
    // drive for "/".
    void launchWindowsWatch(const std::string& program, std::vector<std::string> more = {}) {
        std::vector<std::string> command{wine(), program, "--http", "127.0.0.1:0", "--pdn", windowsPath(), "--date", date};
        if (more.empty()) more.push_back("127.0.0.1:" + std::to_string(relayPort) + "/COM3");
        command.insert(command.end(), more.begin(), more.end());
        launchWatch(command, wineStart);
    }
    std::string windowsPath(const std::string& name = "") const { return "Z:" + scratch.path(name); }
    const std::string date = "2026.12.09";
};

TEST_F(UnderWine, BoardwatchFollowsAGameWritesItsFileBesideAStrangersTakesAResultAndEndsOnCtrlC) {
    const std::string program = windowsProgram("BOARDWATCH_WINDOWS_PROGRAM");
    if (program.empty()) GTEST_SKIP() << "BOARDWATCH_WINDOWS_PROGRAM and WINEPREFIX not set";
    // Names beyond ASCII, in the round file's UTF-8, name the game's file.
    scratch.write("round.csv", "board,relay,white,black\n1,127.0.0.1:" + std::to_string(relayPort) + "/COM3,Müller,Łukasz\n");
    const std::string fileBase = boardwatch::gameFileBase({"?", "?", date, "?"}, {1, "Müller", "Łukasz"}, 1, date);
    const std::string strangers = scratch.write(fileBase + ".pdn", "a stranger's notes\n");
    startBoardsimPlayingTheGame();
    startRelay();
    launchWindowsWatch(program, {"--round", windowsPath("round.csv")});
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

// The commands of protocol.md's Windows way, for boardsim.exe and
// damrelay.exe, each as its words with the document's ports (3333 and
// 50000) in place of the test's.
std::map<std::string, std::vector<std::string>> documentedCommands(const std::string& boardPort, int relayPort) {
    std::map<std::string, std::vector<std::string>> commands;
    for (const std::string& line : testing_support::exampleAfter(PROTOCOL_DOCUMENT, "### On Windows")) {
        std::istringstream in(line);
        std::string program, word;
        in >> program;
        if (program == "rem") continue;
        while (in >> word) {
            if (const std::size_t at = word.find("3333"); at != std::string::npos) word.replace(at, 4, boardPort);
            commands[program].push_back(word == "50000" ? std::to_string(relayPort) : word);
        }
    }
    return commands;
}

TEST_F(UnderWine, TheWindowsWayWithoutABoardServesAProgramThroughAPulledCableAndThenBoardwatch) {
    const std::string boardsimProgram = windowsProgram("BOARDSIM_WINDOWS_PROGRAM");
    const std::string relayProgram = windowsProgram("DAMRELAY_WINDOWS_RELAY");
    const std::string watchProgram = windowsProgram("BOARDWATCH_WINDOWS_PROGRAM");
    if (boardsimProgram.empty() || relayProgram.empty() || watchProgram.empty()) {
        GTEST_SKIP() << "BOARDSIM_WINDOWS_PROGRAM, DAMRELAY_WINDOWS_RELAY, BOARDWATCH_WINDOWS_PROGRAM and WINEPREFIX not set";
    }
    // boardsim on a port of the system's choice, its moves paced for a test.
    std::vector<std::string> boardsimWords = documentedCommands("0", relayPort)["boardsim"];
    ASSERT_THAT(boardsimWords, ::testing::ElementsAre("--tcp", "127.0.0.1:0"));
    boardsimWords.insert(boardsimWords.begin(), {wine(), boardsimProgram});
    boardsimWords.insert(boardsimWords.end(), {"--pace", "20"});
    boardsim = std::make_unique<ChildProcess>(boardsimWords, ChildProcess::Output::CollectedWithErrors);
    const int boardPort = testing_support::servedPort(*boardsim, wineStart);
    ASSERT_GT(boardPort, 0) << boardsim->console();
    const std::vector<std::string> relayWords = documentedCommands(std::to_string(boardPort), relayPort)["damrelay"];
    ASSERT_THAT(relayWords, ::testing::Contains("COM3=tcp:127.0.0.1:" + std::to_string(boardPort)));
    const auto startRelay = [&] { return std::make_unique<RelayProcess>(relayWords, std::vector<std::string>{wine(), relayProgram}); };

    {
        const std::unique_ptr<RelayProcess> relayProcess = startRelay();
        testing_support::ProgramClient program(relayPort, wineStart);
        ASSERT_TRUE(program.connected()) << relayProcess->console();
        ASSERT_EQ(program.readLine(reply), "#KRV Draughts Server v2.1 Console 2011-06-28");
        program.sendLine("COM3");
        ASSERT_EQ(program.readLine(reply), "CONN") << relayProcess->console();
        program.sendLine("67");
        EXPECT_EQ(program.readLine(reply), "pppppppppppppppppppp..........PPPPPPPPPPPPPPPPPPPP");
        boardsim->type("32-28\n");
        EXPECT_EQ(program.readLine(reply), "032.");
        EXPECT_EQ(program.readLine(reply), "028P");

        // The cable pulled and put back: the program hears of it, and its
        // next request reaches the board again.
        boardsim->type("pull\n");
        EXPECT_THAT(program.readLine(reply).value_or(""), ::testing::StartsWith("ERROR: 255 : 00"))
            << relayProcess->console();
        boardsim->type("plug\n");
        ASSERT_TRUE(boardsim->waitForConsole("the cable is plugged in again", reply)) << boardsim->console();
        program.sendLine("66");
        std::string afterTheMove = std::string(20, 'p') + std::string(10, '.') + std::string(20, 'P');
        afterTheMove[28 - 1] = 'P';
        afterTheMove[32 - 1] = '.';
        std::optional<std::string> line;
        while ((line = program.readLine(reply)) && line->rfind("ERROR", 0) == 0) {
        }
        EXPECT_EQ(line, afterTheMove) << relayProcess->console();
        program.close();
        EXPECT_EQ(relayProcess->waitForExit(wineStart), 0) << relayProcess->console();
    }

    // The relay started again, as after every session, with boardwatch.exe
    // following it; a new game on the board.
    const std::unique_ptr<RelayProcess> relayProcess = startRelay();
    ASSERT_TRUE(relayProcess->waitForConsole("waiting for connection to Draughts program", wineStart))
        << relayProcess->console();
    launchWindowsWatch(watchProgram);
    ASSERT_TRUE(waitUntil([&] { return board()["link"] == "following"; }, wineStart))
        << watch->console() << relayProcess->console();
    const std::vector<std::string> moves{"32-28", "19-23", "28x19", "14x23"};
    boardsim->type("start\n32-28 19-23 28x19 14x23\n");
    ASSERT_TRUE(waitForMoves(moves.size(), wineStart)) << watch->console() << boardsim->console();
    EXPECT_EQ(board()["moves"].get<std::vector<std::string>>(), moves);
}

}  // namespace
}  // namespace watchtest
