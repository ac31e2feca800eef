// The program's slot: a program replaced while a line is on its way to it is
// let go only once that line has been handed over, and lines from another
// thread meanwhile go to the one program or the other, never to neither.

#include "program_slot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Counts its lines; one may hold the sender until the test lets it go.
class Sink : public LineSink {
public:
    bool sendLine(const std::string&) override {
        ++lines;
        if (holding) {
            entered.set_value();
            release.get_future().wait();
        }
        return true;
    }
    std::atomic<int> lines{0};
    bool holding = false;
    std::promise<void> entered, release;
};

TEST(ProgramSlot, AReplacedProgramIsLetGoOnlyOnceTheLineOnItsWayHasBeenHandedOver) {
    ProgramSlot slot;
    EXPECT_FALSE(slot.send("before")) << "no program";
    auto first = std::make_shared<Sink>();
    first->holding = true;
    slot.set(first);
    EXPECT_TRUE(slot.present());
    std::thread board([&] { slot.send("032."); });
    first->entered.get_future().wait();

    auto replacing = std::async(std::launch::async, [&] { slot.set(nullptr); });
    EXPECT_EQ(replacing.wait_for(100ms), std::future_status::timeout) << "the line is still on its way";
    EXPECT_FALSE(slot.present()) << "new lines find the new program already";
    first->release.set_value();
    replacing.get();
    board.join();
    EXPECT_EQ(first->lines, 1);
}

TEST(ProgramSlot, LinesFromAnotherThreadWhileProgramsChangeEachReachOne) {
    ProgramSlot slot;
    std::vector<std::shared_ptr<Sink>> programs;
    for (int i = 0; i < 50; ++i) programs.push_back(std::make_shared<Sink>());
    slot.set(programs.front());
    std::atomic<bool> done{false};
    int sent = 0;
    std::thread board([&] {
        while (!done) sent += slot.send("line") ? 1 : 0;
    });
    for (const auto& program : programs) {
        slot.set(program);
        std::this_thread::sleep_for(1ms);
    }
    done = true;
    board.join();
    int received = 0;
    for (const auto& program : programs) received += program->lines;
    EXPECT_EQ(received, sent);
    EXPECT_GT(sent, 0);
}

}  // namespace
