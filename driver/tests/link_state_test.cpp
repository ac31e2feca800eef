// The link's state with a clock of the test's own: when a reopen is due and
// how attempts are counted.

#include "link_state.h"

#include <gtest/gtest.h>

#include "board_port.h"

namespace {

using krvEBLowLevel::BoardPort;
using krvEBLowLevel::LinkState;
using Phase = LinkState::Phase;
using namespace std::chrono_literals;

const LinkState::Clock::time_point failedAt{1h};

// A port that is only ever held.
class HeldPort : public BoardPort {
public:
    void startReading(Reader&) override {}
    void write(const unsigned char*, std::size_t, WriteDone) override {}
    std::size_t writeNow(const unsigned char*, std::size_t) override { return 0; }
    void close() override {}
};

TEST(LinkState, AReopenIsDueNoSoonerThanThePauseAfterThePortClosedAndOnlyEverEarlier) {
    const auto first = std::make_shared<HeldPort>();
    LinkState link(first);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.reopenBy(failedAt), std::nullopt) << "an open link needs no reopen";
    EXPECT_EQ(link.fail(failedAt), first) << "handed back to be closed";
    EXPECT_EQ(link.port(), nullptr);
    EXPECT_EQ(link.fail(failedAt), nullptr) << "only once";

    // Asked for at once: due when the pause is over.
    EXPECT_EQ(link.reopenBy(failedAt + 100ms), failedAt + 500ms);
    EXPECT_EQ(link.phase(), Phase::reopening);
    EXPECT_EQ(link.reopenBy(failedAt + 200ms), std::nullopt) << "already due then";
    EXPECT_EQ(link.reopenBy(failedAt + 3s), std::nullopt) << "never later";

    // Still gone: the pause counts from that attempt; an attempt wanted
    // later (auto mode, a cycle on) is brought forward by a command.
    EXPECT_FALSE(link.attempt());
    link.stillGone(failedAt + 500ms);
    EXPECT_EQ(link.phase(), Phase::failed);
    EXPECT_EQ(link.reopenBy(failedAt + 2700ms), failedAt + 2700ms);
    EXPECT_EQ(link.reopenBy(failedAt + 600ms), failedAt + 1000ms);

    EXPECT_FALSE(link.attempt());
    const auto second = std::make_shared<HeldPort>();
    link.opened(second);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.port(), second);
    EXPECT_EQ(link.close(), second);
    EXPECT_EQ(link.phase(), Phase::closed);
    EXPECT_EQ(link.reopenBy(failedAt + 1h), std::nullopt) << "closed for good";
}

TEST(LinkState, EveryAttemptBeyondTheThirdMarksTheLinkUntilTheBoardAnswers) {
    LinkState link(nullptr);
    auto failAndAttempt = [&link](int round) {
        link.fail(failedAt + round * 1s);
        link.reopenBy(failedAt + round * 1s);
        const bool marked = link.attempt();
        link.opened(nullptr);
        return marked;
    };
    for (int round = 1; round <= 3; ++round) EXPECT_FALSE(failAndAttempt(round)) << round;
    EXPECT_FALSE(link.marked());
    EXPECT_TRUE(failAndAttempt(4));
    EXPECT_TRUE(failAndAttempt(5));
    EXPECT_TRUE(link.marked());

    link.boardAnswered();
    EXPECT_FALSE(link.marked());
    EXPECT_FALSE(failAndAttempt(6)) << "counted afresh";
}

}  // namespace
