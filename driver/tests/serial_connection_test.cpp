// The serial link against a virtual board: frames cut from the port, what it
// reports of stray bytes and of a failed read, the writer, and the port's
// exclusive use.

#include "serial_connection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>
#include <boost/system/system_error.hpp>
#include <condition_variable>
#include <future>
#include <thread>

#include "link_test_support.h"
#include "virtualboard/virtual_board.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

struct Received {
    unsigned char id;
    int size;
    Bytes bytes;  // the frame's first `size` bytes
};

// Records frames, and everything the link reports as its text, in order.
class LinkLog : public SerialObserver {
public:
    void update(std::shared_ptr<krvSerialMessage> message) override {
        const int kept = std::clamp(message->size, 0, frameCapacity);
        std::lock_guard<std::mutex> guard(lock);
        frames.push_back({message->id, message->size, Bytes(message->frame, message->frame + kept)});
        events.push_back("frame " + std::to_string(message->id));
        changed.notify_all();
    }
    void report(const LinkError& error) override {
        std::lock_guard<std::mutex> guard(lock);
        events.push_back(describe(error));
        changed.notify_all();
    }

    bool waitForEvents(std::size_t count, std::chrono::milliseconds timeout = 5s) {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, timeout, [&] { return events.size() >= count; });
    }
    std::vector<std::string> eventsSoFar() {
        std::lock_guard<std::mutex> guard(lock);
        return events;
    }
    std::vector<Received> framesSoFar() {
        std::lock_guard<std::mutex> guard(lock);
        return frames;
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    std::vector<Received> frames;
    std::vector<std::string> events;
};

Bytes patternOf(std::size_t length, unsigned char salt) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>((i * 7 + salt) & 0x7F);
    return bytes;
}

class SerialConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        link = SerialConnection::open(board.portName(), loop, log);
        runner = std::thread([this] { loop.run(); });
    }

    void TearDown() override {
        boost::asio::post(loop, [this] { link->close(); });
        work.reset();
        runner.join();
    }

    // Asks the loop thread, where the port lives.
    bool portOpen() {
        std::promise<bool> open;
        boost::asio::post(loop, [&] { open.set_value(link->isOpen()); });
        return open.get_future().get();
    }

    // Writes on the loop thread and waits until the write has completed.
    boost::system::error_code write(const Bytes& bytes) {
        std::promise<boost::system::error_code> written;
        boost::asio::post(loop, [&] {
            link->write(bytes, [&](const boost::system::error_code& error) { written.set_value(error); });
        });
        return written.get_future().get();
    }

    VirtualBoard board;
    boost::asio::io_context loop;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work{loop.get_executor()};
    LinkLog log;
    std::shared_ptr<SerialConnection> link;
    std::thread runner;
};

TEST_F(SerialConnectionTest, FramesOfEverySizeArriveWholeAndInOrder) {
    const std::vector<Bytes> sent = {
        VirtualBoard::frame(0x85, {}),                         // size 3: no payload
        VirtualBoard::frame(0x8E, {23, 1}),                    // a piece put down
        VirtualBoard::frame(0x86, patternOf(197, 1)),          // a board dump
        VirtualBoard::frame(0x8F, patternOf(9997, 2)),         // the largest frame, 10000 bytes
        VirtualBoard::frame(0xFF, {'b', 'o', 'a', 'r', 'd'}),  // the board's own 0xFF: type 127 too
    };
    Bytes stream;
    for (const Bytes& frame : sent) stream.insert(stream.end(), frame.begin(), frame.end());
    board.writeBytes(stream);

    ASSERT_TRUE(log.waitForEvents(sent.size()));
    const std::vector<Received> received = log.framesSoFar();
    ASSERT_EQ(received.size(), sent.size());
    for (std::size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(received[i].id, sent[i][0]);
        EXPECT_EQ(received[i].size, static_cast<int>(sent[i].size()));
        EXPECT_EQ(received[i].bytes, sent[i]);
    }
    EXPECT_EQ(received[3].size, 10000);
}

TEST(ErrorFrame, KeepsAtMost255CharactersAndSplitsTheSizeIntoSevenBitBytes) {
    const struct {
        std::size_t textLength;
        int size;
        unsigned char high, low;
    } cases[] = {
        {0, 3, 0x00, 0x03},     {124, 127, 0x00, 0x7F}, {125, 128, 0x01, 0x00},
        {255, 258, 0x02, 0x02}, {300, 258, 0x02, 0x02},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.textLength);
        std::string text;
        for (std::size_t i = 0; i < c.textLength; ++i) text += static_cast<char>('a' + i % 26);
        const auto frame = makeErrorFrame(text);
        EXPECT_EQ(frame->id, 0xFF);
        EXPECT_EQ(frame->size, c.size);
        EXPECT_EQ(frame->frame[0], 0xFF);
        EXPECT_EQ(frame->frame[1], c.high);
        EXPECT_EQ(frame->frame[2], c.low);
        EXPECT_EQ(std::string(frame->frame + 3, frame->frame + c.size), text.substr(0, 255));
        EXPECT_EQ(frame->frame[c.size], 0) << "no terminator, nothing behind the text";
    }
}

TEST_F(SerialConnectionTest, EachRunOfStrayBytesIsReportedOnceBeforeWhatEndsIt) {
    const Bytes frame = VirtualBoard::frame(0x8E, {23, 1});
    const std::string frameEvent = "frame " + std::to_string(0x8E);
    const std::string stray = "020 No command found, data loss possible";
    Bytes stream(2000, 0x05);
    for (const Bytes& part : {frame, Bytes{0x05}, frame, Bytes{0x01, 0x02, 0x8E, 0x00, 0x00}, frame, Bytes(3, 0x7F)}) {
        stream.insert(stream.end(), part.begin(), part.end());
    }
    board.writeBytes(stream);

    // The last run has nothing after it: it is reported once the line is
    // quiet.
    const std::vector<std::string> expected = {
        stray + " (2000 bytes)", frameEvent, stray + " (1 byte)", frameEvent, stray + " (2 bytes)",
        "021 Invalid frame size, data loss possible", frameEvent, stray + " (3 bytes)",
    };
    ASSERT_TRUE(log.waitForEvents(expected.size()));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(log.eventsSoFar(), expected);
}

TEST_F(SerialConnectionTest, AFailedReadIsReportedOnceAndLeavesThePortToItsOwner) {
    board.unplug();
    ASSERT_TRUE(log.waitForEvents(1));
    // Reading has stopped: the end of file, which a pseudo-terminal repeats
    // at once for every read, is not read again and again.
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(log.eventsSoFar(), std::vector<std::string>{"002 Could not read command: asio.misc:2"});
    EXPECT_TRUE(portOpen());
    EXPECT_TRUE(write({0x42})) << "a write fails on a board that has gone, and says so";
}

TEST_F(SerialConnectionTest, ASecondOpenOfAHeldPortIsRefusedAndTheClosedPortIsFreeForEveryone) {
    EXPECT_THROW(SerialConnection::open(board.portName(), loop, log), boost::system::system_error);
    EXPECT_FALSE(write({0x4D}));
    EXPECT_EQ(board.read(1, 2s), Bytes{0x4D}) << "the first link keeps working";

    // Not only for root: a pseudo-terminal keeps its exclusive flag beyond
    // our close unless we clear it.
    boost::asio::post(loop, [this] { link->close(); });
    EXPECT_FALSE(portOpen());
    boost::asio::io_context other;
    EXPECT_NO_THROW(SerialConnection::open(board.portName(), other, log)->close());
}

}  // namespace
