// What a LinkObserver hears of a session against a virtual board: every byte
// both ways as it went, each message after its bytes, and the port's
// openings, closings and failed openings, in the order they happened.

#include <gtest/gtest.h>

#include <boost/system/system_error.hpp>
#include <condition_variable>
#include <mutex>

#include "boardio/boardio.h"
#include "link_test_support.h"
#include "virtualboard/virtual_board.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using linktest::ScratchDir;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

// The events as lines; bytes read are joined into one "received" line until
// something else happens, since reads cut them anywhere.
class LinkLog : public LinkObserver {
public:
    void linkEvent(const LinkEvent& event) override {
        std::lock_guard<std::mutex> guard(lock);
        switch (event.kind) {
            case LinkEvent::Kind::opened:
                add("opened " + event.port);
                break;
            case LinkEvent::Kind::received:
                if (lines.empty() || lines.back().rfind("received", 0) != 0) lines.push_back("received");
                lines.back() += hex(event.bytes, event.count);
                break;
            case LinkEvent::Kind::written:
                add("written" + hex(event.bytes, event.count));
                break;
            case LinkEvent::Kind::closed:
                add("closed");
                break;
            case LinkEvent::Kind::lost:
                add("lost " + event.error);
                break;
            case LinkEvent::Kind::openFailed:
                add("openFailed " + event.port + " " + event.error);
                break;
        }
    }
    void update(std::shared_ptr<Message> message) override {
        std::string text;
        message->getText(text);
        std::lock_guard<std::mutex> guard(lock);
        add("message " + text);
    }

    bool waitFor(const std::string& line) {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, 5s, [&] { return std::find(lines.begin(), lines.end(), line) != lines.end(); });
    }
    std::vector<std::string> take() {
        std::lock_guard<std::mutex> guard(lock);
        return std::exchange(lines, {});
    }

private:
    static std::string hex(const unsigned char* bytes, std::size_t count) {
        static const char digits[] = "0123456789ABCDEF";
        std::string text;
        for (std::size_t i = 0; i < count; ++i) text += {' ', digits[bytes[i] >> 4], digits[bytes[i] & 0x0F]};
        return text;
    }
    void add(std::string line) {
        lines.push_back(std::move(line));
        changed.notify_all();
    }

    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::string> lines;
};

TEST(LinkObserver, HearsEveryByteBothWaysAndEveryOpeningClosingAndFailedOpeningInOrder) {
    ScratchDir scratch;
    VirtualBoard board(scratch.boardLink());
    std::string port = board.portName();
    LinkLog log;
    krvEBLow driver(port);
    driver.attach(&log);
    driver.open();
    ASSERT_TRUE(log.waitFor("opened " + port));

    // A frame, stray bytes and a torn frame, as they came.
    board.writeBytes({0x8E, 0x00, 0x05, 0x17, 0x01, 0x05, 0x05, 0x93, 0x00});
    const std::string strayRun = "message ERROR: 255 : 020 No command found, data loss possible (2 bytes)";
    ASSERT_TRUE(log.waitFor(strayRun));
    CmdSendBrd request;
    driver.sendCommand(&request);
    EXPECT_EQ(board.read(1, 2s), Bytes{KRV_CMD_SEND_BRD});
    ASSERT_TRUE(log.waitFor("written 42"));
    board.unplug();
    ASSERT_TRUE(log.waitFor("message ERROR: 255 : 003 Could not read size: asio.misc:2"));
    const std::vector<std::string> first = log.take();
    const std::vector<std::string> expected = {
        "opened " + port,
        "received 8E 00 05 17 01 05 05 93 00",
        "message 023P",
        strayRun,
        "written 42",
        "lost asio.misc:2",
        "message ERROR: 255 : 003 Could not read size: asio.misc:2",
    };
    EXPECT_EQ(first, expected) << "messages after the bytes they were made of; the torn frame cut the read";

    driver.sendCommand(&request);
    // Replugged only once the failed reopen has let its command go.
    ASSERT_TRUE(log.waitFor("message ERROR: 255 : 010 Could not write data: system:107 (1 command)"));
    board.replug();
    driver.sendCommand(&request);
    EXPECT_EQ(board.read(1, 3s), Bytes{KRV_CMD_SEND_BRD});
    driver.close();
    const std::vector<std::string> rest = log.take();
    const std::vector<std::string> restExpected = {
        "openFailed " + port + " system:2",
        "message ERROR: 255 : 011 Could not reopen port: system:2",
        "message ERROR: 255 : 010 Could not write data: system:107 (1 command)",
        "opened " + port,
        "written 42",
        "closed",
    };
    EXPECT_EQ(rest, restExpected);
}

TEST(LinkObserver, HearsAFailedOpenBeforeOpenThrows) {
    std::string port = "/nonexistent/board";
    LinkLog log;
    krvEBLow driver(port);
    driver.attach(&log);
    EXPECT_THROW(driver.open(), boost::system::system_error);
    EXPECT_EQ(log.take(), std::vector<std::string>{"openFailed /nonexistent/board system:2"});
}

}  // namespace
