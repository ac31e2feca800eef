// What --tcp adds to the board: it is served to one host at a time over
// TCP, a second host is refused without disturbing the first, and a pulled
// cable drops the host and takes none until it is plugged in again. The
// board's own behaviour is the same as on a pseudo-terminal and is tested
// there.
#include <gtest/gtest.h>

#include <thread>

#include "child_process.h"
#include "program_client.h"
#include "served_port.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::ProgramClient;

const std::string versionFrame{'\x93', '\x00', '\x05', '\x01', '\x00'};

class BoardsimOverTcp : public ::testing::Test {
protected:
    void SetUp() override {
        boardsim = std::make_unique<ChildProcess>(
            std::vector<std::string>{BOARDSIM_BINARY, "--tcp", "127.0.0.1:0", "--pace", "0"},
            ChildProcess::Output::CollectedWithErrors);
        port = testing_support::servedPort(*boardsim, 10s);
        ASSERT_GT(port, 0) << boardsim->console();
    }
    void TearDown() override {
        if (HasFailure()) std::cerr << "boardsim's console:\n" << boardsim->console();
    }
    // Connects and waits until the board has taken or refused the host.
    std::unique_ptr<ProgramClient> connect(const std::string& note) {
        const std::size_t before = notes(note);
        auto host = std::make_unique<ProgramClient>(port);
        for (auto deadline = std::chrono::steady_clock::now() + 10s;
             notes(note) == before && std::chrono::steady_clock::now() < deadline;) {
            std::this_thread::sleep_for(10ms);
        }
        EXPECT_EQ(notes(note), before + 1) << note;
        return host;
    }
    std::size_t notes(const std::string& note) const {
        const std::string console = boardsim->console();
        std::size_t count = 0;
        for (std::size_t at = console.find(note); at != std::string::npos; at = console.find(note, at + 1)) ++count;
        return count;
    }

    std::unique_ptr<ChildProcess> boardsim;
    int port = 0;
};

TEST_F(BoardsimOverTcp, ServesOneHostAtATimeAndRefusesASecondWithoutDisturbingTheFirst) {
    const std::unique_ptr<ProgramClient> first = connect(" connected\n");
    ASSERT_TRUE(first->send("\x42"));
    EXPECT_EQ(first->read(53, 10s), testing_support::startingBoardDump());

    const std::unique_ptr<ProgramClient> second = connect(" refused: the board has a host\n");
    EXPECT_TRUE(second->waitForClose(10s));
    ASSERT_TRUE(first->send("\x4D"));
    EXPECT_EQ(first->read(versionFrame.size(), 10s), versionFrame);

    // Once the first has gone, the next host has the board.
    first->close();
    ASSERT_TRUE(boardsim->waitForConsole(" closed the connection\n"));
    const std::unique_ptr<ProgramClient> next = connect(" connected\n");
    ASSERT_TRUE(next->send("\x4D"));
    EXPECT_EQ(next->read(versionFrame.size(), 10s), versionFrame);
}

TEST_F(BoardsimOverTcp, APulledCableDropsTheHostAndTakesNoneUntilItIsPluggedIn) {
    const std::unique_ptr<ProgramClient> host = connect(" connected\n");
    boardsim->type("pull\n");
    EXPECT_TRUE(host->waitForClose(10s));
    const std::unique_ptr<ProgramClient> meanwhile = connect(" refused: the cable is pulled\n");
    EXPECT_TRUE(meanwhile->waitForClose(10s));

    boardsim->type("plug\n");
    ASSERT_TRUE(boardsim->waitForConsole("the cable is plugged in again\n"));
    const std::unique_ptr<ProgramClient> after = connect(" connected\n");
    ASSERT_TRUE(after->send("\x4D"));
    EXPECT_EQ(after->read(versionFrame.size(), 10s), versionFrame);
    boardsim->type("quit\n");
    EXPECT_EQ(boardsim->waitForExit(10s), 0);
}

}  // namespace
