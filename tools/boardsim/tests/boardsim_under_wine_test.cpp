// boardsim.exe, the Windows build, under Wine: it serves the board over
// TCP to a host on the Linux side and takes its console's commands. It
// runs when BOARDSIM_WINDOWS_PROGRAM names the program and WINEPREFIX a
// Wine prefix whose wineserver is up (scripts/windows.sh); elsewhere it is
// skipped.
#include <gtest/gtest.h>

#include <cstdlib>

#include "child_process.h"
#include "program_client.h"
#include "served_port.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::ProgramClient;

// Wine's first start in a process tree takes seconds: every wait is long.
constexpr auto wineStart = 60s;
constexpr auto reply = 20s;

TEST(BoardsimUnderWine, AnswersAHostOverTcpAndEndsWithQuit) {
    const char* program = std::getenv("BOARDSIM_WINDOWS_PROGRAM");
    if (program == nullptr || std::getenv("WINEPREFIX") == nullptr) {
        GTEST_SKIP() << "BOARDSIM_WINDOWS_PROGRAM and WINEPREFIX not set";
    }
    const char* wine = std::getenv("DAMRELAY_WINE");
    ChildProcess boardsim({wine ? wine : "/usr/bin/wine", program, "--tcp", "127.0.0.1:0", "--pace", "0"},
                          ChildProcess::Output::CollectedWithErrors);
    const int port = testing_support::servedPort(boardsim, wineStart);
    ASSERT_GT(port, 0) << boardsim.console();

    ProgramClient host(port, reply);
    ASSERT_TRUE(host.connected()) << boardsim.console();
    ASSERT_TRUE(host.send("\x42"));
    EXPECT_EQ(host.read(53, reply), testing_support::startingBoardDump()) << boardsim.console();

    boardsim.type("quit\n");
    EXPECT_EQ(boardsim.waitForExit(wineStart), 0) << boardsim.console();
}

}  // namespace
