// A board that vanishes and comes back under the same name: the errors the
// observers see, the reopen driven by commands, and the failure mark.

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
const std::string writeOnClosedPort = errorText("010 Could not write data: system:9");
const std::string writeWithoutLink = errorText("010 Could not write data: system:107");
const std::string reopenFailed = errorText("011 Could not reopen port: system:2");

class ReconnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver.attach(&log);
        driver.open();
        ASSERT_TRUE(board.waitForHost(2s));
    }

    ScratchDir scratch;
    VirtualBoard board{scratch.boardLink()};
    std::string port = board.portName();
    MessageLog log;
    krvEBLow driver{port};
};

TEST_F(ReconnectionTest, ACommandAfterTheDeviceVanishedReopensThePortThroughItsLink) {
    board.unplug();
    ASSERT_TRUE(log.waitForText(readFailed));
    EXPECT_EQ(driver.getState(), COMM_IDLE) << "a read error alone changes no state";
    // Long enough for an event loop without work to have ended.
    std::this_thread::sleep_for(100ms);

    board.replug();
    CmdSendBrd lost;
    driver.sendCommand(&lost);
    ASSERT_TRUE(log.waitForText(writeOnClosedPort));
    ASSERT_TRUE(board.waitForHost(3s)) << "the port was reopened through the re-pointed link";

    CmdSendVersion request;
    driver.sendCommand(&request);
    EXPECT_EQ(board.read(1, 2s), Bytes{KRV_CMD_SEND_VERSION});
    EXPECT_EQ(log.snapshot().size(), 2u) << "nothing but the two errors was reported";

    // Frames of the new device reach the observers.
    board.writeFrame(0x8E, {23, 1});
    EXPECT_TRUE(log.waitUntil([](const auto& seen) { return seen.back().id == 14; }));
}

TEST_F(ReconnectionTest, TheFourthFailedAttemptMarksTheLinkFailedUntilTheBoardSendsItsVersion) {
    board.unplug();
    ASSERT_TRUE(log.waitForText(readFailed));

    // The first command fails on the closed port and starts the first
    // attempt; each later one waits for an attempt of its own and is reported
    // as not written when that attempt fails.
    CmdSendReset reset;
    for (std::size_t attempt = 1; attempt <= 4; ++attempt) {
        SCOPED_TRACE(attempt);
        driver.sendCommand(&reset);
        ASSERT_TRUE(log.waitForText(reopenFailed, attempt));
        EXPECT_EQ(driver.getState(), attempt < 4 ? COMM_IDLE : COMM_FAILED);
    }
    ASSERT_TRUE(log.waitForText(writeWithoutLink, 3));
    std::vector<std::string> texts;
    for (const auto& seen : log.snapshot()) texts.push_back(seen.text);
    EXPECT_EQ(texts,
              (std::vector<std::string>{readFailed, writeOnClosedPort, reopenFailed, reopenFailed, writeWithoutLink,
                                        reopenFailed, writeWithoutLink, reopenFailed, writeWithoutLink}));

    // The fifth attempt finds the board again; the mark holds until the
    // board answers with its version.
    board.replug();
    driver.sendCommand(&reset);
    EXPECT_EQ(driver.getState(), COMM_FAILED);
    ASSERT_TRUE(board.waitForHost(3s));
    board.writeFrame(0x93, {1, 2});
    ASSERT_TRUE(log.waitUntil([](const auto& seen) { return seen.back().id == 19; }));
    EXPECT_EQ(driver.getState(), COMM_FAILED) << "the state waits for the next command";

    driver.sendCommand(&reset);
    EXPECT_EQ(driver.getState(), COMM_IDLE);
    EXPECT_EQ(board.read(1, 2s), Bytes{KRV_CMD_SEND_RESET});
}

// With the board back before the pause ends, and without.
class ThePauseTest : public ReconnectionTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ThePauseTest, CommandsGivenDuringItWaitForTheReopenedPort) {
    const bool boardReturns = GetParam();
    board.unplug();
    ASSERT_TRUE(log.waitForText(readFailed));
    if (boardReturns) board.replug();
    CmdSendBrd lost;
    driver.sendCommand(&lost);
    ASSERT_TRUE(log.waitForText(writeOnClosedPort));
    CmdSendVersion version;
    CmdSendClk clock;
    driver.sendCommand(&version);
    driver.sendCommand(&clock);

    std::vector<std::string> expected = {readFailed, writeOnClosedPort};
    if (boardReturns) {
        EXPECT_EQ(board.read(2, 3s), (Bytes{KRV_CMD_SEND_VERSION, KRV_CMD_SEND_CLK}));
    } else {
        ASSERT_TRUE(log.waitForText(writeWithoutLink, 2, 3s));
        expected.insert(expected.end(), {reopenFailed, writeWithoutLink, writeWithoutLink});
    }
    std::vector<std::string> texts;
    for (const auto& seen : log.snapshot()) texts.push_back(seen.text);
    EXPECT_EQ(texts, expected);
}

INSTANTIATE_TEST_SUITE_P(BoardBackOrNot, ThePauseTest, ::testing::Bool());

TEST_F(ReconnectionTest, AReconnectionStopsAutoModeAndDoesNotRestartIt) {
    driver.startAuto();
    ASSERT_EQ(board.read(1, 2s), Bytes{KRV_CMD_SEND_RESET});
    board.unplug();
    ASSERT_TRUE(log.waitForText(readFailed));
    board.replug();

    // Auto mode's next request fails on the closed port and starts the
    // reconnection, which stops auto mode from the I/O thread.
    ASSERT_TRUE(log.waitForText(writeOnClosedPort));
    ASSERT_TRUE(board.waitForHost(3s));
    EXPECT_FALSE(driver.getAuto());
    EXPECT_TRUE(board.readUntilQuiet(700ms, 2s).empty());
}

}  // namespace
