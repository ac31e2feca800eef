// The serial transport against a virtual board: the bytes as they came, a
// failed read, opening as a value, and the port's exclusive use.

#include "serial_board_port.h"

#include <gtest/gtest.h>

#include <thread>

#include "port_under_test.h"
#include "virtualboard/virtual_board.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

class SerialBoardPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        PortOpening opening = openBoardPort(board.portName(), under.loop);
        ASSERT_TRUE(opening.port) << opening.step << ": " << opening.error.message();
        under.start(opening.port);
    }

    VirtualBoard board;
    porttest::PortUnderTest under;
    porttest::ReadLog& log = under.log;
};

TEST_F(SerialBoardPortTest, ReadsEveryByteAsItCameAndWritesBothWays) {
    Bytes stream = VirtualBoard::frame(0x8F, Bytes(9997, 0x05));  // the largest frame
    stream.insert(stream.end(), {0x00, 0xFF, 0x8E, 0x00});        // stray bytes, a torn frame
    board.writeBytes(stream);
    ASSERT_TRUE(log.waitFor(stream.size()));
    EXPECT_EQ(log.read(), stream);

    EXPECT_FALSE(under.write({0x4D, 0x2B}));
    EXPECT_EQ(board.read(2, 2s), (Bytes{0x4D, 0x2B}));
    const unsigned char version = 0x4D;
    EXPECT_EQ(under.port->writeNow(&version, 1), 1u);
    EXPECT_EQ(board.read(1, 2s), Bytes{0x4D});
}

TEST_F(SerialBoardPortTest, AFailedReadIsReportedOnceAndLeavesThePortToItsOwner) {
    board.unplug();
    ASSERT_TRUE(log.waitForFailure());
    // Reading has stopped: the end of file, which a pseudo-terminal repeats
    // at once for every read, is not read again and again.
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(log.failuresSoFar().size(), 1u);
    EXPECT_TRUE(under.write({0x42})) << "a write fails on a board that has gone, and says so";
}

TEST_F(SerialBoardPortTest, ASecondOpenOfAHeldPortIsRefusedAndTheClosedPortIsFreeForEveryone) {
    boost::asio::io_context other;
    const PortOpening second = openBoardPort(board.portName(), other);
    EXPECT_FALSE(second.port);
    EXPECT_TRUE(second.error);
    EXPECT_FALSE(under.write({0x4D}));
    EXPECT_EQ(board.read(1, 2s), Bytes{0x4D}) << "the first port keeps working";

    // Not only for root: a pseudo-terminal keeps its exclusive flag beyond
    // our close unless we clear it.
    under.close();
    const PortOpening third = openBoardPort(board.portName(), other);
    ASSERT_TRUE(third.port) << third.step << ": " << third.error.message();
    third.port->close();
}

TEST(SerialBoardPort, OpeningAMissingPortGivesTheErrorAndTheStepThatFailed) {
    boost::asio::io_context loop;
    const PortOpening opening = openBoardPort("/nonexistent/board", loop);
    EXPECT_FALSE(opening.port);
    EXPECT_EQ(opening.error.value(), ENOENT);
    EXPECT_EQ(opening.step, "open");
}

}  // namespace
