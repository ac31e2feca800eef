// What waits for the console: bounded, in order, and counted when dropped.
#include "console_queue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string droppedNote(int lines) {
    return "*** the console did not keep up, lines dropped: " + std::to_string(lines) + "\n";
}

TEST(ConsoleQueueTest, TextsComeOutWholeAndInOrder) {
    ConsoleQueue queue(100);
    EXPECT_TRUE(queue.empty());
    queue.push("received: 66\n");
    queue.push("send: '023P'\n");
    EXPECT_FALSE(queue.empty());
    EXPECT_EQ(queue.take(), "received: 66\nsend: '023P'\n");
    EXPECT_TRUE(queue.empty());
    EXPECT_EQ(queue.take(), "");
}

TEST(ConsoleQueueTest, PastTheBoundTheOldestLinesAreDroppedAndOneLineSaysHowMany) {
    ConsoleQueue queue(20);
    queue.push("first\n");
    EXPECT_EQ(queue.take(), "first\n");
    queue.push("two\nlines\n");
    queue.push("a prompt ");
    queue.push("0123456789\n");
    queue.push("the end\n");
    EXPECT_EQ(queue.take(), droppedNote(3) + "0123456789\nthe end\n");
    EXPECT_TRUE(queue.empty());
}

TEST(ConsoleQueueTest, TheNewestTextStaysWhateverItsSize) {
    ConsoleQueue queue(4);
    queue.push("y\n");
    queue.push("longer than four\n");
    EXPECT_EQ(queue.take(), droppedNote(1) + "longer than four\n");
}

TEST(ConsoleQueueTest, TheNoteStartsALineOfItsOwn) {
    ConsoleQueue queue(10);
    queue.push("question? ");
    EXPECT_EQ(queue.take(), "question? ");
    queue.push("lost\n");
    queue.push("0123456789\n");
    EXPECT_EQ(queue.take(), "\n" + droppedNote(1) + "0123456789\n");
}

}  // namespace
