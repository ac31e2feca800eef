// The serial link against a virtual board: frames cut from the port, error
// frames, the writer, and the port's exclusive use.

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
    Bytes bytes;    // the frame's first `size` bytes
    bool portOpen;  // whether the link's port counted as open during delivery
};

std::string textOf(const Received& frame) { return std::string(frame.bytes.begin() + 3, frame.bytes.end()); }

class FrameLog : public SerialObserver {
public:
    void update(std::shared_ptr<krvSerialMessage> message) override {
        const int kept = std::clamp(message->size, 0, frameCapacity);
        Received received{message->id, message->size, Bytes(message->frame, message->frame + kept),
                          link != nullptr && link->isOpen()};
        std::lock_guard<std::mutex> guard(lock);
        frames.push_back(std::move(received));
        changed.notify_all();
    }

    bool waitForCount(std::size_t count, std::chrono::milliseconds timeout = 5s) {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, timeout, [&] { return frames.size() >= count; });
    }

    std::vector<Received> snapshot() {
        std::lock_guard<std::mutex> guard(lock);
        return frames;
    }

    SerialConnection* link = nullptr;  // set before the loop runs

private:
    std::mutex lock;
    std::condition_variable changed;
    std::vector<Received> frames;
};

Bytes patternOf(std::size_t length, unsigned char salt) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<unsigned char>((i * 7 + salt) & 0x7F);
    return bytes;
}

class SerialConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        link = SerialConnection::open(board.portName(), loop);
        frames.link = link.get();
        link->attach(&frames);
        runner = std::thread([this] { loop.run(); });
    }

    void TearDown() override {
        boost::asio::post(loop, [this] {
            link->detach(&frames);
            link->close();
        });
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
    void write(const Bytes& bytes) {
        std::promise<void> written;
        boost::asio::post(loop,
                          [&] { link->write(bytes, [&](const boost::system::error_code&) { written.set_value(); }); });
        written.get_future().wait();
    }

    VirtualBoard board;
    boost::asio::io_context loop;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work{loop.get_executor()};
    FrameLog frames;
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

    ASSERT_TRUE(frames.waitForCount(sent.size()));
    const std::vector<Received> received = frames.snapshot();
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

TEST_F(SerialConnectionTest, ReadErrorIsReportedWhileThePortIsOpenThenItCloses) {
    board.unplug();
    ASSERT_TRUE(frames.waitForCount(1));
    const Received readError = frames.snapshot()[0];
    EXPECT_EQ(textOf(readError), "002 Could not read command: asio.misc:2");
    EXPECT_TRUE(readError.portOpen);
    EXPECT_FALSE(portOpen());

    // A write on the closed port fails, and says so with the port closed.
    write({0x42});
    ASSERT_TRUE(frames.waitForCount(2));
    const Received writeError = frames.snapshot()[1];
    EXPECT_EQ(textOf(writeError), "010 Could not write data: system:9");
    EXPECT_FALSE(writeError.portOpen);
}

TEST_F(SerialConnectionTest, ASecondOpenOfAHeldPortIsRefusedAndTheClosedPortIsFreeForEveryone) {
    EXPECT_THROW(SerialConnection::open(board.portName(), loop), boost::system::system_error);
    write({0x4D});
    EXPECT_EQ(board.read(1, 2s), Bytes{0x4D}) << "the first link keeps working";

    // Not only for root: a pseudo-terminal keeps its exclusive flag beyond
    // our close unless we clear it.
    boost::asio::post(loop, [this] { link->close(); });
    EXPECT_FALSE(portOpen());
    boost::asio::io_context other;
    EXPECT_NO_THROW(SerialConnection::open(board.portName(), other)->close());
}

}  // namespace
