// The serial transport against a virtual board: the bytes as they came, a
// failed read, opening as a value, and the port's exclusive use.

#include "serial_board_port.h"

#include <gtest/gtest.h>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/post.hpp>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include "virtualboard/virtual_board.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

// Keeps what the port read, and how reading ended.
class ReadLog : public BoardPort::Reader {
public:
    void received(const unsigned char* bytes, std::size_t count) override {
        std::lock_guard<std::mutex> guard(lock);
        this->bytes.insert(this->bytes.end(), bytes, bytes + count);
        changed.notify_all();
    }
    void readFailed(const boost::system::error_code& error) override {
        std::lock_guard<std::mutex> guard(lock);
        failures.push_back(error);
        changed.notify_all();
    }
    bool waitFor(std::size_t count) {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, 5s, [&] { return bytes.size() >= count || !failures.empty(); });
    }
    bool waitForFailure() {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, 5s, [&] { return !failures.empty(); });
    }
    Bytes read() {
        std::lock_guard<std::mutex> guard(lock);
        return bytes;
    }
    std::size_t failureCount() {
        std::lock_guard<std::mutex> guard(lock);
        return failures.size();
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    Bytes bytes;
    std::vector<boost::system::error_code> failures;
};

class SerialBoardPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        PortOpening opening = openBoardPort(board.portName(), loop);
        ASSERT_TRUE(opening.port) << opening.step << ": " << opening.error.message();
        port = opening.port;
        boost::asio::post(loop, [this] { port->startReading(log); });
        runner = std::thread([this] { loop.run(); });
    }

    void TearDown() override {
        if (!port) return;
        boost::asio::post(loop, [this] { port->close(); });
        work.reset();
        runner.join();
    }

    // Writes on the loop thread and waits until the write has completed.
    boost::system::error_code write(const Bytes& bytes) {
        std::promise<boost::system::error_code> written;
        boost::asio::post(loop, [&] {
            port->write(bytes.data(), bytes.size(),
                        [&](const boost::system::error_code& error) { written.set_value(error); });
        });
        return written.get_future().get();
    }

    VirtualBoard board;
    boost::asio::io_context loop;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work{loop.get_executor()};
    ReadLog log;
    std::shared_ptr<BoardPort> port;
    std::thread runner;
};

TEST_F(SerialBoardPortTest, ReadsEveryByteAsItCameAndWritesBothWays) {
    Bytes stream = VirtualBoard::frame(0x8F, Bytes(9997, 0x05));  // the largest frame
    stream.insert(stream.end(), {0x00, 0xFF, 0x8E, 0x00});        // stray bytes, a torn frame
    board.writeBytes(stream);
    ASSERT_TRUE(log.waitFor(stream.size()));
    EXPECT_EQ(log.read(), stream);

    EXPECT_FALSE(write({0x4D, 0x2B}));
    EXPECT_EQ(board.read(2, 2s), (Bytes{0x4D, 0x2B}));
    const unsigned char version = 0x4D;
    EXPECT_EQ(port->writeNow(&version, 1), 1u);
    EXPECT_EQ(board.read(1, 2s), Bytes{0x4D});
}

TEST_F(SerialBoardPortTest, AFailedReadIsReportedOnceAndLeavesThePortToItsOwner) {
    board.unplug();
    ASSERT_TRUE(log.waitForFailure());
    // Reading has stopped: the end of file, which a pseudo-terminal repeats
    // at once for every read, is not read again and again.
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(log.failureCount(), 1u);
    EXPECT_TRUE(write({0x42})) << "a write fails on a board that has gone, and says so";
}

TEST_F(SerialBoardPortTest, ASecondOpenOfAHeldPortIsRefusedAndTheClosedPortIsFreeForEveryone) {
    boost::asio::io_context other;
    const PortOpening second = openBoardPort(board.portName(), other);
    EXPECT_FALSE(second.port);
    EXPECT_TRUE(second.error);
    EXPECT_FALSE(write({0x4D}));
    EXPECT_EQ(board.read(1, 2s), Bytes{0x4D}) << "the first port keeps working";

    // Not only for root: a pseudo-terminal keeps its exclusive flag beyond
    // our close unless we clear it.
    std::promise<void> closed;
    boost::asio::post(loop, [&] {
        port->close();
        closed.set_value();
    });
    closed.get_future().get();
    const PortOpening third = openBoardPort(board.portName(), other);
    ASSERT_TRUE(third.port) << third.step << ": " << third.error.message();
    third.port->close();
}

TEST(SerialBoardPort, OpeningAMissingPortGivesTheErrorAndTheStepThatFailed) {
    boost::asio::io_context loop;
    const PortOpening opening = openBoardPort("/nonexistent/board", loop);
    EXPECT_FALSE(opening.port);
    EXPECT_EQ(opening.error.value(), ENOENT);
    EXPECT_STREQ(opening.step, "open");
}

}  // namespace
