// The board's side of the line, with a clock the test moves by hand.
#include <gtest/gtest.h>

#include "paced_line.h"

namespace {

using namespace boardsim;
using namespace std::chrono_literals;

const Time start = Time{} + 1h;
const Time later = start + 24h;  // everything waiting is due by then

// A frame of `size` bytes whose every byte is `mark`, so that the frames
// that come out can be told apart.
Bytes frameOf(std::size_t size, unsigned char mark) { return Bytes(size, mark); }

TEST(PacedLine, SendsOneByteABitTimeAfterTheOther) {
    PacedLine line;
    line.send(frameOf(10, 1), PacedLine::Kind::Report, start);
    EXPECT_EQ(line.takeDue(start).bytes.size(), 1u);
    EXPECT_EQ(line.takeDue(start + 5 * PacedLine::byteTime).bytes.size(), 5u);
    EXPECT_EQ(line.nextDue(), start + 6 * PacedLine::byteTime);
    EXPECT_EQ(line.takeDue(later).bytes.size(), 4u);
    EXPECT_EQ(line.nextDue(), std::nullopt);
}

TEST(PacedLine, AHostAskingFasterThanTheLineAnswersLosesItsOldestAnswersButNoReport) {
    PacedLine line;
    line.send(frameOf(53, 0), PacedLine::Kind::Answer, start);
    ASSERT_EQ(line.takeDue(start).bytes.size(), 1u);  // the first answer is on its way
    line.send(frameOf(5, 0xEE), PacedLine::Kind::Report, start);
    constexpr int flood = 1000;
    for (int i = 1; i <= flood; ++i) {
        line.send(frameOf(53, static_cast<unsigned char>(i % 200 + 1)), PacedLine::Kind::Answer, start);
        ASSERT_LE(line.waitingBytes(), PacedLine::waitingLimit);
    }
    const Bytes out = line.takeDue(later).bytes;
    // Whole frames only: the one under way, the report, then the newest
    // answers in their order.
    ASSERT_EQ((out.size() - 52 - 5) % 53, 0u);
    const std::size_t kept = (out.size() - 52 - 5) / 53;
    EXPECT_EQ(line.droppedAnswers(), flood - kept);
    EXPECT_EQ(Bytes(out.begin() + 52, out.begin() + 57), frameOf(5, 0xEE));
    for (std::size_t k = 0; k < kept; ++k) {
        const int i = static_cast<int>(flood - kept + 1 + k);
        const auto frame = out.begin() + 57 + static_cast<long>(53 * k);
        ASSERT_EQ(Bytes(frame, frame + 53), frameOf(53, static_cast<unsigned char>(i % 200 + 1))) << "answer " << i;
    }
}

TEST(PacedLine, ALinkEventHappensOnceTheBytesBeforeItHaveGoneOut) {
    PacedLine line;
    line.send(frameOf(3, 1), PacedLine::Kind::Report, start);
    line.signal(LinkEvent::Pull, start);
    line.send(frameOf(2, 2), PacedLine::Kind::Report, start);
    line.signal(LinkEvent::Plug, start);

    PacedLine::Due due = line.takeDue(start + PacedLine::byteTime);
    EXPECT_EQ(due.bytes, frameOf(2, 1));
    EXPECT_EQ(due.then, std::nullopt);
    due = line.takeDue(start + 3 * PacedLine::byteTime);
    EXPECT_EQ(due.bytes, frameOf(1, 1));
    EXPECT_EQ(due.then, LinkEvent::Pull);
    due = line.takeDue(later);
    EXPECT_EQ(due.bytes, frameOf(2, 2));
    EXPECT_EQ(due.then, LinkEvent::Plug);
}

TEST(PacedLine, WithoutAHostTheBytesAreLostButTheLinkEventsStillHappen) {
    PacedLine line;
    line.send(frameOf(40, 1), PacedLine::Kind::Report, start);
    line.signal(LinkEvent::Pull, start);
    line.send(frameOf(40, 2), PacedLine::Kind::Answer, start);
    line.clear();
    EXPECT_EQ(line.waitingBytes(), 0u);
    const PacedLine::Due due = line.takeDue(start);
    EXPECT_TRUE(due.bytes.empty());
    EXPECT_EQ(due.then, LinkEvent::Pull);
}

TEST(PacedLine, ATornFrameIsCutToItsFirstHalfAndOnlyTheNextFrameIsTorn) {
    struct Case {
        std::size_t size, sent;
    };
    for (const Case& c : {Case{3, 1}, Case{5, 2}, Case{53, 26}}) {
        PacedLine line;
        line.tearNextFrame();
        line.send(frameOf(4, 0x11), PacedLine::Kind::Noise, start);  // noise is no frame
        line.send(frameOf(c.size, 0x22), PacedLine::Kind::Answer, start);
        line.send(frameOf(5, 0x33), PacedLine::Kind::Report, start);
        Bytes expected = frameOf(4, 0x11);
        for (const Bytes& part : {frameOf(c.sent, 0x22), frameOf(5, 0x33)}) {
            expected.insert(expected.end(), part.begin(), part.end());
        }
        EXPECT_EQ(line.takeDue(later).bytes, expected) << "a frame of " << c.size;
    }
}

}  // namespace
