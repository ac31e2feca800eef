// Commands from the facade to a virtual board: the bytes that arrive, the
// state word each code leaves, and blocks from several threads.

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "boardio/boardio.h"
#include "link_test_support.h"
#include "virtualboard/virtual_board.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using linktest::RawCommand;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

Bytes bytesOf(Command& command) {
    const unsigned char* data = command.getData();
    return Bytes(data, data + command.size);
}

class SendPathTest : public ::testing::Test {
protected:
    void SetUp() override { driver.open(); }

    VirtualBoard board;
    std::string port = board.portName();
    krvEBLow driver{port};
};

TEST_F(SendPathTest, EveryCommandArrivesByteExactAndLeavesItsState) {
    // In an order that makes every change, and every code that changes
    // nothing, visible.
    const struct {
        std::shared_ptr<Command> command;
        krvCommState state;
    } steps[] = {
        {std::make_shared<CmdSendUpdateBrd>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdSendClk>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdSendUpdate>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdReturnSerialNr>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdReturnBusAddress>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdSendTrademark>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdSendEEMoves>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdSendBatteryStatus>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdSendVersion>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdClockMessage>("12:34", 3, true), COMM_UPDATE_BRD},
        {std::make_shared<CmdClockMessage>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdClockIcons>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdClockSetNRun>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdClockBeep>(5), COMM_UPDATE_BRD},
        {std::make_shared<CmdEndClockMessage>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdClockVersion>(), COMM_UPDATE_BRD},
        {std::make_shared<CmdSendUpdateNice>(), COMM_BOARD},
        {std::make_shared<CmdSendReset>(), COMM_IDLE},
        {std::make_shared<CmdSendBrd>(), COMM_BOARD},
    };
    EXPECT_EQ(driver.getState(), COMM_IDLE);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.command->code);
        driver.sendCommand(step.command.get());
        EXPECT_EQ(driver.getState(), step.state);
        const Bytes expected = bytesOf(*step.command);
        EXPECT_EQ(board.read(expected.size(), 2s), expected);
    }
    EXPECT_TRUE(board.readUntilQuiet(100ms, 1s).empty());
}

TEST_F(SendPathTest, SizesOutsideOneTo10000SendNothingButTheCodeStillSetsTheState) {
    const struct {
        short code;
        short size;
        std::size_t bytesHeld;
        krvCommState state;
    } cases[] = {
        {KRV_CMD_SEND_BRD, 0, 1, COMM_BOARD},
        {KRV_CMD_SEND_UPDATE_BRD, -1, 1, COMM_UPDATE_BRD},
        {KRV_CMD_SEND_RESET, -32768, 1, COMM_IDLE},
        {KRV_CMD_SEND_UPDATE_NICE, 10001, 10001, COMM_BOARD},
        {KRV_CMD_SEND_UPDATE_BRD, 1, 0, COMM_UPDATE_BRD},  // no bytes at all
    };
    CmdSendVersion marker;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        RawCommand command(c.code, c.size, Bytes(c.bytesHeld, static_cast<unsigned char>(c.code)));
        driver.sendCommand(&command);
        EXPECT_EQ(driver.getState(), c.state);
        driver.sendCommand(&marker);
        EXPECT_EQ(board.read(1, 2s), Bytes{KRV_CMD_SEND_VERSION}) << "nothing ahead of the next command";
    }
    EXPECT_TRUE(board.readUntilQuiet(100ms, 1s).empty());
}

TEST_F(SendPathTest, ACommandOf10000BytesIsWrittenWhole) {
    Bytes bytes(10000);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i % 251);
    bytes[0] = KRV_CMD_CLOCK_MESSAGE;
    {
        RawCommand command(KRV_CMD_CLOCK_MESSAGE, 10000, bytes);
        driver.sendCommand(&command);
    }  // the caller may delete its command at once
    EXPECT_EQ(board.read(bytes.size(), 5s), bytes);
}

TEST_F(SendPathTest, ANullCommandIsIgnored) {
    driver.sendCommand(nullptr);
    EXPECT_EQ(driver.getState(), COMM_IDLE);
    EXPECT_TRUE(board.readUntilQuiet(100ms, 1s).empty());
}

TEST_F(SendPathTest, CommandsFromTwoThreadsArriveWholeAndEachThreadsInOrder) {
    // Each block: the clock code, its length, the sender, a sequence number,
    // then filler that differs per sender, so interleaving would show.
    constexpr int perThread = 150;
    auto send = [this](unsigned char sender) {
        for (int sequence = 0; sequence < perThread; ++sequence) {
            const std::size_t length = 20 + static_cast<std::size_t>((sequence * 37) % 100);
            Bytes bytes(length, sender);
            bytes[0] = KRV_CMD_CLOCK_MESSAGE;
            bytes[1] = static_cast<unsigned char>(length);
            bytes[2] = sender;
            bytes[3] = static_cast<unsigned char>(sequence);
            RawCommand command(KRV_CMD_CLOCK_MESSAGE, static_cast<short>(length), bytes);
            driver.sendCommand(&command);
        }
    };
    std::thread first(send, 1);
    std::thread second(send, 2);
    first.join();
    second.join();

    const Bytes stream = board.readUntilQuiet(300ms, 10s);
    int next[3] = {0, 0, 0};
    std::size_t at = 0;
    while (at < stream.size()) {
        ASSERT_EQ(stream[at], KRV_CMD_CLOCK_MESSAGE) << "block boundary at " << at;
        const std::size_t length = stream[at + 1];
        ASSERT_LE(at + length, stream.size());
        const unsigned char sender = stream[at + 2];
        ASSERT_TRUE(sender == 1 || sender == 2);
        EXPECT_EQ(stream[at + 3], next[sender]++);
        for (std::size_t i = 4; i < length; ++i) ASSERT_EQ(stream[at + i], sender) << "interleaved at " << at + i;
        at += length;
    }
    EXPECT_EQ(next[1], perThread);
    EXPECT_EQ(next[2], perThread);
}

}  // namespace

TEST(SendPathBound, CommandsBeyondTheBoundAreDroppedAndReportedAndTheRestArriveWholeAndInOrder) {
    VirtualBoard board;
    std::string port = board.portName();
    linktest::MessageLog log;
    krvEBLow driver(port);
    driver.attach(&log);
    driver.open();
    ASSERT_TRUE(board.waitForHost(2s));

    // The board reads nothing meanwhile: far more than the device buffers
    // and a minute of the line's time together.
    constexpr std::size_t commands = 20, length = 10000;
    for (std::size_t sequence = 0; sequence < commands; ++sequence) {
        Bytes bytes(length, static_cast<unsigned char>(sequence));
        bytes[0] = KRV_CMD_CLOCK_MESSAGE;
        RawCommand command(KRV_CMD_CLOCK_MESSAGE, static_cast<short>(length), bytes);
        driver.sendCommand(&command);
    }
    const std::string dropped = linktest::errorText("012 Command dropped: the board is not keeping up (");
    ASSERT_TRUE(log.waitForText(dropped));

    const Bytes arrived = board.readUntilQuiet(500ms, 30s);
    ASSERT_EQ(arrived.size() % length, 0u) << "only whole blocks";
    std::size_t reported = 0, reports = 0;
    for (const linktest::Seen& seen : log.snapshot()) {
        if (seen.text.rfind(dropped, 0) != 0) continue;
        ++reports;
        reported += linktest::countOfRun(seen.text);
    }
    EXPECT_EQ(reports, 1u) << "one report for the run";
    EXPECT_EQ(arrived.size() / length + reported, commands) << "every command arrived or was reported";
    int previous = -1;
    for (std::size_t at = 0; at < arrived.size(); at += length) {
        const unsigned char sequence = arrived[at + 1];
        EXPECT_GT(sequence, previous);
        previous = sequence;
        EXPECT_EQ(Bytes(arrived.begin() + static_cast<long>(at) + 1, arrived.begin() + static_cast<long>(at + length)),
                  Bytes(length - 1, sequence));
    }

    CmdSendVersion version;
    driver.sendCommand(&version);
    EXPECT_EQ(board.read(1, 2s), Bytes{KRV_CMD_SEND_VERSION}) << "room again once the board has read";
}
