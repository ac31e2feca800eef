// Frames from a virtual board through the whole driver: decoded into
// messages and handed to the facade's observers in the order they came.

#include <gtest/gtest.h>

#include "boardio/boardio.h"
#include "link_test_support.h"
#include "virtualboard/virtual_board.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using linktest::errorText;
using linktest::MessageLog;
using linktest::Seen;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

class FrameDeliveryTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver.attach(&log);
        driver.open();
    }

    VirtualBoard board;
    std::string port = board.portName();
    MessageLog log;
    krvEBLow driver{port};
};

TEST_F(FrameDeliveryTest, FramesAreDecodedAndDeliveredInTheirOrderWithLinkErrorsBetween) {
    Bytes moves(9997);
    for (std::size_t i = 0; i < moves.size(); ++i) moves[i] = static_cast<unsigned char>(i & 0x7F);
    const std::vector<Bytes> stream = {
        VirtualBoard::frame(0x86, {}),                 // an empty board dump: size 3
        VirtualBoard::frame(0x8E, {23, 1}),            // a piece put down
        {0x05},                                        // a stray byte
        VirtualBoard::frame(0x85, {1, 2}),             // a type no message handles: dropped
        {0x8E, 0x00, 0x01},                            // an impossible size
        VirtualBoard::frame(0x8F, moves),              // stored moves, 10000 bytes
        VirtualBoard::frame(0x8F, Bytes(9998, 0x01)),  // too large for a frame: skipped whole
        {0x8E},                                        // a bad header whose size bytes start the next frame
        VirtualBoard::frame(0x93, {1, 2}),             // version
    };
    Bytes bytes;
    for (const Bytes& part : stream) bytes.insert(bytes.end(), part.begin(), part.end());
    board.writeBytes(bytes);

    ASSERT_TRUE(log.waitForCount(8));
    const std::vector<Seen> seen = log.snapshot();
    const struct {
        int id;
        int size;
    } expected[] = {{6, 3}, {14, 5}, {127, 52}, {127, 45}, {15, 10000}, {127, 45}, {127, 45}, {19, 5}};
    ASSERT_EQ(seen.size(), std::size(expected));
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].id, expected[i].id);
        EXPECT_EQ(seen[i].size, expected[i].size);
    }
    EXPECT_EQ(seen[2].text, errorText("020 No command found, data loss possible (1 byte)"));
    EXPECT_EQ(seen[3].text, errorText("021 Invalid frame size, data loss possible"));
    EXPECT_EQ(driver.getState(), COMM_IDLE) << "a link error on an open port is no cause to reconnect";
}

TEST(FrameDelivery, FramesWaitingOnTheLineBeforeTheOpenAllReachTheObservers) {
    // A board's frames kept by the device until a host opens it are read at
    // once, perhaps before open() has returned: a race, hence the rounds.
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE(round);
        VirtualBoard board;
        std::string port = board.portName();
        for (int square = 1; square <= 3; ++square) board.writeFrame(0x8E, {static_cast<unsigned char>(square), 1});
        MessageLog log;
        krvEBLow driver(port);
        driver.attach(&log);
        driver.open();
        EXPECT_TRUE(log.waitForCount(3));
        driver.close();
        EXPECT_EQ(log.snapshot().size(), 3u);
    }
}

}  // namespace
