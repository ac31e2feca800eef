// A board that vanishes and comes back under the same name: what the
// observers hear, the state the facade reports, the reopen that the next
// command (or auto mode) asks for, and the failure mark.

#include <gtest/gtest.h>

#include <thread>

#include "boardio/boardio.h"
#include "link_test_support.h"
#include "virtualboard/virtual_board.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using linktest::errorText;
using linktest::MessageLog;
using linktest::ScratchDir;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

const std::string readFailed = errorText("002 Could not read command: asio.misc:2");
std::string unwritten(int commands) {
    return errorText("010 Could not write data: system:107 (" + std::to_string(commands) +
                     (commands == 1 ? " command)" : " commands)"));
}
const std::string reopenFailed = errorText("011 Could not reopen port: system:2");

std::vector<std::string> textsOf(const std::vector<linktest::Seen>& seen) {
    std::vector<std::string> texts;
    for (const auto& s : seen) texts.push_back(s.text);
    return texts;
}

class ReconnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver.attach(&log);
        driver.open();
        ASSERT_TRUE(board.waitForHost(2s));
    }
    void pull() {
        board.unplug();
        ASSERT_TRUE(log.waitForText(readFailed));
    }

    ScratchDir scratch;
    VirtualBoard board{scratch.boardLink()};
    std::string port = board.portName();
    MessageLog log;
    krvEBLow driver{port};
};

TEST_F(ReconnectionTest, AFailedReadClosesThePortAndTheNextCommandReopensItAndIsWritten) {
    pull();
    EXPECT_EQ(driver.getState(), COMM_FAILED);
    EXPECT_FALSE(board.hostAttached()) << "the port was closed";
    // Long enough for an event loop without work to have ended.
    std::this_thread::sleep_for(100ms);

    board.replug();
    CmdSendBrd request;
    driver.sendCommand(&request);
    EXPECT_EQ(board.read(1, 3s), Bytes{KRV_CMD_SEND_BRD}) << "written to the reopened port, not lost";
    EXPECT_EQ(driver.getState(), COMM_BOARD);
    EXPECT_EQ(textsOf(log.snapshot()), std::vector<std::string>{readFailed}) << "nothing but the read was reported";

    // Frames of the new device reach the observers.
    board.writeFrame(0x8E, {23, 1});
    EXPECT_TRUE(log.waitUntil([](const auto& seen) { return seen.back().id == 14; }));
}

TEST_F(ReconnectionTest, TheFourthFailedAttemptMarksTheLinkFailedUntilTheBoardAnswersAgain) {
    CmdSendBrd boardRequest;
    driver.sendCommand(&boardRequest);
    ASSERT_EQ(board.read(1, 2s), Bytes{KRV_CMD_SEND_BRD});
    pull();
    // Each command asks for an attempt of its own and is reported as not
    // written when that attempt fails. (The version request leaves the state
    // as it is.)
    CmdSendVersion version;
    for (std::size_t attempt = 1; attempt <= 4; ++attempt) {
        SCOPED_TRACE(attempt);
        driver.sendCommand(&version);
        ASSERT_TRUE(log.waitForText(unwritten(1), attempt));
        EXPECT_EQ(driver.getState(), COMM_FAILED);
    }
    EXPECT_EQ(textsOf(log.snapshot()),
              (std::vector<std::string>{readFailed, reopenFailed, unwritten(1), reopenFailed, unwritten(1),
                                        reopenFailed, unwritten(1), reopenFailed, unwritten(1)}));

    // Auto mode's attempt, the fifth, finds the board again; the mark holds
    // until the board answers, and then the state is what it was before,
    // without a command from the program.
    board.replug();
    driver.startAuto();
    ASSERT_EQ(board.read(2, 3s), (Bytes{KRV_CMD_SEND_RESET, KRV_CMD_SEND_UPDATE_NICE}));
    EXPECT_EQ(driver.getState(), COMM_FAILED);
    board.writeFrame(0x8E, {23, 1});
    ASSERT_TRUE(log.waitUntil([](const auto& seen) { return seen.back().id == 14; }));
    EXPECT_EQ(driver.getState(), COMM_BOARD);
    driver.stopAuto();
}

// With the board back before the reopen, and without.
class CommandsWhileTheBoardIsAway : public ReconnectionTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CommandsWhileTheBoardIsAway, WaitForTheReopenedPortOrAreReportedTogether) {
    const bool boardReturns = GetParam();
    pull();
    if (boardReturns) board.replug();
    CmdSendBrd first;
    CmdSendVersion version;
    CmdSendClk clock;
    for (Command* command : std::initializer_list<Command*>{&first, &version, &clock}) driver.sendCommand(command);

    std::vector<std::string> expected = {readFailed};
    if (boardReturns) {
        EXPECT_EQ(board.read(3, 3s), (Bytes{KRV_CMD_SEND_BRD, KRV_CMD_SEND_VERSION, KRV_CMD_SEND_CLK}));
    } else {
        ASSERT_TRUE(log.waitForText(unwritten(3), 1, 3s));
        expected.insert(expected.end(), {reopenFailed, unwritten(3)});
    }
    EXPECT_EQ(textsOf(log.snapshot()), expected);
}

INSTANTIATE_TEST_SUITE_P(BoardBackOrNot, CommandsWhileTheBoardIsAway, ::testing::Bool());

TEST_F(ReconnectionTest, AutoModeLooksForTheBoardWhileItIsAwayAndRunsAgainOnceItIsBack) {
    driver.startAuto();
    ASSERT_EQ(board.read(2, 2s), (Bytes{KRV_CMD_SEND_RESET, KRV_CMD_SEND_UPDATE_NICE}));
    pull();
    EXPECT_TRUE(driver.getAuto()) << "still on: the caller did not stop it";
    // Its first attempt, after the pause, finds nothing; the board comes
    // back before the next one, a cycle later.
    ASSERT_TRUE(log.waitForText(reopenFailed, 1, 3s));
    board.replug();
    EXPECT_TRUE(driver.getAuto());
    ASSERT_TRUE(board.waitForHost(5s));
    EXPECT_EQ(board.read(3, 3s), (Bytes{KRV_CMD_SEND_RESET, KRV_CMD_SEND_UPDATE_NICE, KRV_CMD_SEND_TRADEMARK}))
        << "from its start again, as for a new board";
    EXPECT_EQ(textsOf(log.snapshot()), (std::vector<std::string>{readFailed, reopenFailed}));
    driver.stopAuto();
    EXPECT_FALSE(driver.getAuto());
}

}  // namespace
