#include "textio/bounded_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using textio::BoundedWriter;
using textio::WhenFull;
using textio::WriterPolicy;

namespace {

// An output that takes nothing until it is let go, as a console nobody reads.
class HeldOutput {
public:
    BoundedWriter::Output output() {
        return [this](const std::string& texts) {
            std::unique_lock<std::mutex> hold(lock);
            ++calls;
            changed.notify_all();
            changed.wait(hold, [this] { return !held; });
            written += texts;
            return !failing;
        };
    }
    void letGo(bool fail = false) {
        std::lock_guard<std::mutex> hold(lock);
        held = false;
        failing = fail;
        changed.notify_all();
    }
    // The writer is inside the output with its first texts.
    void awaitFirstCall() {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait(hold, [this] { return calls > 0; });
    }
    std::string text() {
        std::lock_guard<std::mutex> hold(lock);
        return written;
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    bool held = true;
    bool failing = false;
    int calls = 0;
    std::string written;
};

WriterPolicy policy(WhenFull whenFull) {
    return {4, whenFull, [](std::size_t lines) { return "[" + std::to_string(lines) + " lost]\n"; }};
}

}  // namespace

// A stalled output: the writer holds the first text, then the bound decides
// what waits behind it; once the output takes texts again the note stands
// where the texts went missing.
TEST(BoundedWriter, AStalledOutputCostsTheCallerNoWaitAndTheNoteMarksTheGap) {
    struct Case {
        WhenFull whenFull;
        std::string expected;
    };
    const Case cases[] = {
        {WhenFull::dropOldest, "1\n[3 lost]\nd\ne\n"},
        {WhenFull::keepOrderMarkGap, "1\na\nb\n[3 lost]\n"},
    };
    for (const Case& c : cases) {
        HeldOutput held;
        BoundedWriter writer(held.output(), policy(c.whenFull));
        writer.add("1\n");
        held.awaitFirstCall();
        for (const char* text : {"a\n", "b\n", "c\n", "d\n", "e\n"}) writer.add(text);
        held.letGo();
        EXPECT_TRUE(writer.flush(10s));
        EXPECT_TRUE(writer.finish(10s));
        EXPECT_EQ(held.text(), c.expected);
    }
}

TEST(BoundedWriter, FinishGivesAStalledOutputOnlyItsPatience) {
    // The writer left behind owns what it writes to, as the programs' outputs
    // live as long as the process.
    const auto held = std::make_shared<HeldOutput>();
    const auto start = std::chrono::steady_clock::now();
    {
        BoundedWriter writer([held, output = held->output()](const std::string& texts) { return output(texts); },
                             policy(WhenFull::dropOldest));
        writer.add("never taken\n");
        held->awaitFirstCall();
        EXPECT_FALSE(writer.flush(50ms));
        EXPECT_FALSE(writer.finish(100ms));
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    held->letGo();
}

TEST(BoundedWriter, AFailedOutputEndsTheWriterAndTakesNothingMore) {
    HeldOutput held;
    BoundedWriter writer(held.output(), policy(WhenFull::keepOrderMarkGap));
    writer.add("a\n");
    held.awaitFirstCall();
    held.letGo(true);
    EXPECT_FALSE(writer.flush(10s));
    EXPECT_TRUE(writer.failed());
    writer.add("b\n");
    EXPECT_EQ(held.text(), "a\n");
}

TEST(BoundedWriter, TheNoteAfterDroppedTextStartsOnALineOfItsOwn) {
    HeldOutput held;
    BoundedWriter writer(held.output(), policy(WhenFull::dropOldest));
    writer.add("prompt: ");
    held.awaitFirstCall();
    for (const char* text : {"0123456789\n", "x\n"}) writer.add(text);
    held.letGo();
    EXPECT_TRUE(writer.finish(10s));
    EXPECT_EQ(held.text(), "prompt: \n[1 lost]\nx\n");
}

TEST(BoundedWriter, AGatheringWriterWritesTheTextsOfItsMomentTogetherAndFlushCutsItShort) {
    std::mutex lock;
    std::vector<std::string> writes;
    WriterPolicy gathering = policy(WhenFull::dropOldest);
    gathering.bound = 1024;
    gathering.gathering = 10s;
    BoundedWriter writer(
        [&](const std::string& texts) {
            std::lock_guard<std::mutex> hold(lock);
            writes.push_back(texts);
            return true;
        },
        gathering);
    for (const char* text : {"a\n", "b\n", "c\n"}) writer.add(text);
    const auto flushing = std::chrono::steady_clock::now();
    EXPECT_TRUE(writer.flush(5s));
    EXPECT_LT(std::chrono::steady_clock::now() - flushing, 5s) << "not the whole moment";
    writer.add("d\n");
    EXPECT_TRUE(writer.finish(5s));
    std::lock_guard<std::mutex> hold(lock);
    EXPECT_EQ(writes, (std::vector<std::string>{"a\nb\nc\n", "d\n"}));
}
