// The facade: sessions, observers, and closing with work in flight.

#include <gtest/gtest.h>

#include <atomic>
#include <boost/system/system_error.hpp>
#include <functional>
#include <stdexcept>
#include <thread>
#include <utility>

#include "boardio/boardio.h"
#include "link_test_support.h"
#include "virtualboard/virtual_board.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using linktest::elapsedSince;
using linktest::errorText;
using linktest::MessageLog;
using linktest::RawCommand;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

std::shared_ptr<Message> someMessage() {
    const unsigned char frame[frameCapacity] = {0x93, 0x00, 0x05, 1, 2};
    return createMessage(frame);
}

TEST(Facade, WithoutSessionReportsClosedAndIgnoresEverything) {
    std::string port = "/nonexistent/board";
    krvEBLow driver(port);
    EXPECT_EQ(driver.getPort(), port);
    EXPECT_EQ(driver.getState(), COMM_CLOSED);
    EXPECT_FALSE(driver.getAuto());
    CmdSendBrd command;
    driver.sendCommand(&command);
    EXPECT_EQ(driver.getState(), COMM_CLOSED);
    driver.close();
    driver.setLogging();
}

TEST(Facade, OpeningAMissingPortThrowsAndLeavesNoSession) {
    std::string port = "/nonexistent/board";
    krvEBLow driver(port);
    try {
        driver.open();
        FAIL() << "opened a missing port";
    } catch (const boost::system::system_error& error) {
        EXPECT_EQ(error.code().value(), ENOENT);
    }
    EXPECT_EQ(driver.getState(), COMM_CLOSED);
}

TEST(Facade, OpensClosesAndReopens) {
    VirtualBoard board;
    std::string port = board.portName();
    krvEBLow driver(port);
    driver.open();
    EXPECT_EQ(driver.getState(), COMM_IDLE);
    EXPECT_FALSE(driver.getAuto());
    driver.close();
    EXPECT_EQ(driver.getState(), COMM_CLOSED);
    driver.close();

    driver.open();
    // Opening again replaces the session; the old one lets go of the port
    // first, or the new one would be refused.
    EXPECT_NO_THROW(driver.open());
    CmdSendReset reset;
    driver.sendCommand(&reset);
    EXPECT_EQ(board.read(1, 2s), Bytes{KRV_CMD_SEND_RESET});
}

TEST(Facade, ASecondOpenOfAHeldPortIsRefused) {
    VirtualBoard board;
    std::string port = board.portName();
    krvEBLow holder(port);
    krvEBLow intruder(port);
    holder.open();
    EXPECT_THROW(intruder.open(), boost::system::system_error);
    EXPECT_EQ(intruder.getState(), COMM_CLOSED);
    holder.close();
    EXPECT_NO_THROW(intruder.open()) << "the port is free again once closed";
}

// Calls `action` inside every update, then records the call.
class Reacting : public SingleBoardObserver {
public:
    explicit Reacting(std::string name, std::vector<std::string>& calls) : name(std::move(name)), calls(calls) {}
    void update(std::shared_ptr<Message>) override {
        calls.push_back(name);
        if (action) action();
    }
    std::string name;
    std::vector<std::string>& calls;
    std::function<void()> action;
};

TEST(FacadeObservers, AreCalledInAttachOrderAndDetachedWhole) {
    std::string port = "unused";
    krvEBLow driver(port);
    std::vector<std::string> calls;
    Reacting a("A", calls), b("B", calls), c("C", calls);
    driver.attach(&a);
    driver.attach(&b);
    driver.attach(&a);
    driver.attach(nullptr);
    driver.update(someMessage());
    EXPECT_EQ(calls, (std::vector<std::string>{"A", "B", "A"}));

    calls.clear();
    driver.detach(&c);
    driver.detach(nullptr);
    driver.detach(&a);
    driver.update(someMessage());
    EXPECT_EQ(calls, (std::vector<std::string>{"B"}));
}

TEST(FacadeObservers, MayDetachThemselvesAndAttachOthersInsideUpdate) {
    std::string port = "unused";
    krvEBLow driver(port);
    std::vector<std::string> calls;
    Reacting a("A", calls), b("B", calls), c("C", calls), late("late", calls);
    a.action = [&] { driver.detach(&a); };
    c.action = [&] {
        driver.attach(&late);
        c.action = nullptr;
    };
    driver.attach(&a);
    driver.attach(&b);
    driver.attach(&c);

    driver.update(someMessage());
    // A left during the call and B, standing right behind it, still got the
    // message; the observer attached during it hears from the next one on.
    EXPECT_EQ(calls, (std::vector<std::string>{"A", "B", "C"}));
    calls.clear();
    driver.update(someMessage());
    EXPECT_EQ(calls, (std::vector<std::string>{"B", "C", "late"}));
}

// The session's own thread delivers: an observer detached during a delivery,
// by itself or from another thread, costs the others nothing, and hears
// nothing after.
TEST(FacadeObservers, ADetachDuringTheSessionsDeliveryCostsNoOtherObserverTheMessage) {
    for (const bool fromAnotherThread : {true, false}) {
        SCOPED_TRACE(fromAnotherThread ? "from another thread" : "by itself");
        VirtualBoard board;
        std::string port = board.portName();
        krvEBLow driver(port);
        std::vector<std::string> calls;
        Reacting leaving("leaving", calls), staying("staying", calls);
        MessageLog last;
        leaving.action = [&] {
            if (!fromAnotherThread) return driver.detach(&leaving);
            std::thread([&] { driver.detach(&leaving); }).join();
        };
        driver.attach(&leaving);
        driver.attach(&staying);
        driver.attach(&last);
        driver.open();

        board.writeFrame(0x8E, {23, 1});
        ASSERT_TRUE(last.waitForCount(1));
        board.writeFrame(0x93, {1, 2});
        ASSERT_TRUE(last.waitForCount(2));
        driver.close();
        EXPECT_EQ(calls, (std::vector<std::string>{"leaving", "staying", "staying"}));
    }
}

// An observer that changes the list and hands the facade a message of its
// own, inside the session's delivery: the delivery it interrupted goes on.
TEST(FacadeObservers, AMessageHandedToTheFacadeInsideADeliveryReachesTheListAsItIsThen) {
    VirtualBoard board;
    std::string port = board.portName();
    krvEBLow driver(port);
    std::vector<std::string> calls;
    Reacting first("first", calls), second("second", calls), late("late", calls);
    MessageLog last;
    bool handed = false;
    first.action = [&] {
        if (std::exchange(handed, true)) return;
        driver.attach(&late);
        driver.update(someMessage());
    };
    driver.attach(&first);
    driver.attach(&second);
    driver.attach(&last);
    driver.open();
    board.writeFrame(0x8E, {23, 1});
    ASSERT_TRUE(last.waitForCount(2));
    driver.close();
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "first", "second", "late", "second"}));
}

TEST(FacadeObservers, OneThatThrowsKeepsNeitherTheOthersFromTheMessageNorTheSessionFromGoingOn) {
    VirtualBoard board;
    std::string port = board.portName();
    krvEBLow driver(port);
    std::vector<std::string> calls;
    Reacting first("first", calls), throwing("throwing", calls);
    MessageLog last;
    int thrown = 0;
    throwing.action = [&] {
        if (thrown++ % 2 == 0) throw std::runtime_error("an observer's own fault");
        throw 42;
    };
    driver.attach(&first);
    driver.attach(&throwing);
    driver.attach(&last);
    driver.open();

    board.writeFrame(0x8E, {23, 1});
    board.writeFrame(0x93, {1, 2});
    ASSERT_TRUE(last.waitForCount(2));
    driver.close();
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "throwing", "first", "throwing"}));
}

TEST(FacadeObservers, CloseAndOpenFromInsideUpdateAreRefusedAndTheSessionGoesOn) {
    VirtualBoard board;
    std::string port = board.portName();
    krvEBLow driver(port);
    std::vector<std::string> calls;
    Reacting closer("closer", calls);
    MessageLog log;
    std::atomic<int> refused{0};
    closer.action = [&] {
        for (auto call : {&krvEBLow::close, &krvEBLow::open}) {
            try {
                (driver.*call)();
            } catch (const std::logic_error&) {
                ++refused;
            }
        }
    };
    driver.attach(&closer);
    driver.attach(&log);
    driver.open();

    board.writeFrame(0x8E, {23, 1});
    ASSERT_TRUE(log.waitForCount(1));
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(driver.getState(), COMM_IDLE);
    board.writeFrame(0x93, {1, 2});
    EXPECT_TRUE(log.waitForCount(2)) << "the session still delivers";
    CmdSendReset reset;
    driver.sendCommand(&reset);
    EXPECT_EQ(board.read(1, 2s), Bytes{KRV_CMD_SEND_RESET});
    driver.close();
    EXPECT_EQ(driver.getState(), COMM_CLOSED);
}

class Counting : public SingleBoardObserver {
public:
    void update(std::shared_ptr<Message>) override { ++count; }
    std::atomic<int> count{0};
};

TEST(FacadeObservers, SurviveAttachAndDetachFromAnotherThreadDuringDelivery) {
    std::string port = "unused";
    krvEBLow driver(port);
    Counting steady, coming;
    driver.attach(&steady);
    std::atomic<bool> done{false};
    std::thread churn([&] {
        while (!done) {
            driver.attach(&coming);
            driver.detach(&coming);
        }
    });
    const auto message = someMessage();
    for (int i = 0; i < 20000; ++i) driver.update(message);
    done = true;
    churn.join();
    EXPECT_EQ(steady.count, 20000);
}

// Records every update and counts those that arrive after `closed` is set.
class LateWatch : public SingleBoardObserver {
public:
    void update(std::shared_ptr<Message>) override {
        ++updates;
        if (closed) ++late;
    }
    std::atomic<bool> closed{false};
    std::atomic<int> updates{0};
    std::atomic<int> late{0};
};

TEST(FacadeShutdown, EndsPromptlyWithAutoModeReadsAndWritesInFlightAndNothingFollows) {
    for (const bool byDestructor : {false, true}) {
        SCOPED_TRACE(byDestructor ? "destructor" : "close");
        VirtualBoard board;
        std::string port = board.portName();
        LateWatch watch;
        auto driver = std::make_unique<krvEBLow>(port);
        driver->attach(&watch);
        driver->open();
        ASSERT_TRUE(board.waitForHost(2s));

        std::atomic<bool> flooding{true};
        std::thread flood([&] {
            while (flooding) {
                board.writeFrame(0x8E, {23, 1});
                std::this_thread::sleep_for(1ms);
            }
        });
        driver->startAuto();
        // More than the device buffers while nobody reads it: writes stay
        // in flight.
        RawCommand big(KRV_CMD_CLOCK_MESSAGE, 10000, Bytes(10000, KRV_CMD_CLOCK_MESSAGE));
        for (int i = 0; i < 12; ++i) driver->sendCommand(&big);
        const auto reading = std::chrono::steady_clock::now();
        while (watch.updates < 20 && elapsedSince(reading) < 5s) std::this_thread::sleep_for(1ms);
        ASSERT_GE(watch.updates, 20);

        const auto closing = std::chrono::steady_clock::now();
        if (byDestructor) {
            driver.reset();
        } else {
            driver->close();
            EXPECT_EQ(driver->getState(), COMM_CLOSED);
            EXPECT_FALSE(driver->getAuto());
        }
        watch.closed = true;
        EXPECT_LT(elapsedSince(closing), 3s);

        std::this_thread::sleep_for(200ms);
        flooding = false;
        flood.join();
        EXPECT_EQ(watch.late, 0);
    }
}

TEST(FacadeShutdown, EndsPromptlyAfterTheLinkFailedAndDuringTheReconnectionPause) {
    for (const bool reconnecting : {false, true}) {
        SCOPED_TRACE(reconnecting ? "reconnection pending" : "link failed");
        linktest::ScratchDir scratch;
        VirtualBoard board(scratch.boardLink());
        std::string port = board.portName();
        MessageLog log;
        krvEBLow driver(port);
        driver.attach(&log);
        driver.open();
        board.unplug();
        ASSERT_TRUE(log.waitForText(errorText("002 Could not read command: asio.misc:2")));
        if (reconnecting) {
            // Asks for the port, which opens no sooner than the pause after
            // the failure.
            CmdSendBrd command;
            driver.sendCommand(&command);
        }
        const auto closing = std::chrono::steady_clock::now();
        driver.close();
        EXPECT_LT(elapsedSince(closing), 400ms) << "shorter than the pause before a reopen";
        EXPECT_EQ(driver.getState(), COMM_CLOSED);
        const std::size_t reported = log.snapshot().size();
        board.replug();
        std::this_thread::sleep_for(700ms);
        EXPECT_FALSE(board.hostAttached()) << "no reopen after close";
        EXPECT_EQ(log.snapshot().size(), reported);
    }
}

}  // namespace
