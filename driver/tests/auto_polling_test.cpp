// Auto mode through the facade against a virtual board: which requests it
// writes, in which order and roughly how far apart, and how it stops.

#include <gtest/gtest.h>

#include <thread>

#include "boardio/boardio.h"
#include "link_test_support.h"
#include "virtualboard/virtual_board.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using linktest::elapsedSince;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

class AutoModeTest : public ::testing::Test {
protected:
    void SetUp() override { driver.open(); }

    VirtualBoard board;
    std::string port = board.portName();
    krvEBLow driver{port};
};

TEST_F(AutoModeTest, WritesItsRequestsInOrderAtTheirSpacingAndStopsAtOnce) {
    // The two opening requests 200 ms apart, then one cycle of 2.2 s with a
    // request every 400 ms and a pause of 600 ms before it starts again.
    const struct {
        unsigned char request;
        std::chrono::milliseconds gap;  // after the request before it
    } expected[] = {
        {KRV_CMD_SEND_RESET, 0ms},        {KRV_CMD_SEND_UPDATE_NICE, 200ms},  {KRV_CMD_SEND_TRADEMARK, 400ms},
        {KRV_CMD_RETURN_SERIALNR, 400ms}, {KRV_CMD_RETURN_BUSADDRESS, 400ms}, {KRV_CMD_SEND_CLK, 400ms},
        {KRV_CMD_SEND_BRD, 400ms},        {KRV_CMD_SEND_TRADEMARK, 600ms},
    };
    CmdSendUpdateBrd updates;
    driver.sendCommand(&updates);
    ASSERT_EQ(board.read(1, 2s), Bytes{KRV_CMD_SEND_UPDATE_BRD});

    driver.startAuto();
    driver.startAuto();  // already running: no second thread, no second reset
    EXPECT_TRUE(driver.getAuto());

    std::vector<std::chrono::steady_clock::time_point> arrivals;
    for (const auto& step : expected) {
        SCOPED_TRACE(static_cast<int>(step.request));
        ASSERT_EQ(board.read(1, 2s), Bytes{step.request});
        arrivals.push_back(std::chrono::steady_clock::now());
    }
    // Offsets from the first arrival rather than single gaps, so that one
    // late wake-up of this thread on a loaded machine does not shrink the gap
    // after it; the steps are timed from auto mode's first write.
    std::chrono::milliseconds due{0};
    for (std::size_t i = 1; i < arrivals.size(); ++i) {
        SCOPED_TRACE(i);
        due += expected[i].gap;
        const auto offset = std::chrono::duration_cast<std::chrono::milliseconds>(arrivals[i] - arrivals[0]);
        EXPECT_GE(offset, due - 150ms);
        EXPECT_LE(offset, due + 1000ms);
    }
    EXPECT_EQ(driver.getState(), COMM_UPDATE_BRD) << "auto mode's writes change no state";

    const auto stopping = std::chrono::steady_clock::now();
    driver.stopAuto();
    EXPECT_LT(elapsedSince(stopping), 500ms);
    EXPECT_FALSE(driver.getAuto());
    EXPECT_TRUE(board.readUntilQuiet(700ms, 2s).empty()) << "nothing is written after stopAuto returns";
}

TEST_F(AutoModeTest, AStopRightAfterStartingReturnsAtOnceAndNeverLeavesTheResetAlone) {
    driver.startAuto();
    const auto stopping = std::chrono::steady_clock::now();
    driver.stopAuto();
    EXPECT_LT(elapsedSince(stopping), 1s);
    EXPECT_FALSE(driver.getAuto());
    // Stopped before it began, or after the reset: then the request for
    // updates follows it all the same.
    const Bytes written = board.readUntilQuiet(700ms, 3s);
    EXPECT_TRUE(written.empty() || written == (Bytes{KRV_CMD_SEND_RESET, KRV_CMD_SEND_UPDATE_NICE}))
        << written.size() << " bytes";
    driver.stopAuto();  // not running: nothing to do
}

TEST(AutoModeWithoutSession, DoesNothing) {
    std::string port = "/nonexistent/board";
    krvEBLow driver(port);
    driver.startAuto();
    EXPECT_FALSE(driver.getAuto());
    driver.stopAuto();
}

}  // namespace
