#ifndef TEXTIO_BOUNDED_WRITER_H
#define TEXTIO_BOUNDED_WRITER_H

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace textio {

// What a writer does with a text that finds it full.
enum class WhenFull {
    // The oldest waiting texts go: the newest (why a program ends, say) matter
    // most. A console.
    dropOldest,
    // What waits stays and the new text goes; the note marks the place where
    // texts went missing. A recording, whose order is its meaning.
    keepOrderMarkGap,
};

struct WriterPolicy {
    // Bytes that may wait for the output.
    std::size_t bound = 1024 * 1024;
    WhenFull whenFull = WhenFull::dropOldest;
    // The text that stands for `lines` dropped lines (a text without a line
    // feed counts as one). It is written where they went missing: before the
    // next text written (dropOldest) or before the next text taken in
    // (keepOrderMarkGap), and at the end if nothing followed.
    std::function<std::string(std::size_t lines)> gapNote;
    // How long the writer, woken by a text, waits for more before it writes
    // them together (flush and finish cut it short): an output that gets a
    // line at a time from a busy thread costs a wake-up of the writer's
    // thread a gathering, not one a line.
    std::chrono::milliseconds gathering{0};
};

// Puts texts on an output (a console, a file) on a thread of its own, so that
// whoever hands a text over never waits for the output: a console nobody
// reads, a full pipe or a stalled disk costs the caller neither a wait nor
// memory beyond the policy's bound. Texts are written whole and in the order
// they were handed over, several at a time when they wait.
class BoundedWriter {
public:
    // Called on the writer's thread with one or more texts; false when the
    // output has failed for good: the writer then drops what waits, takes no
    // more texts and ends. It may open its output on the first call, so that
    // an open that blocks (a FIFO nobody reads) blocks only the writer. It is
    // kept alive as long as the writer's thread runs.
    using Output = std::function<bool(const std::string& texts)>;

    BoundedWriter(Output output, WriterPolicy policy);
    // finish(finishPatience), unless finish was called already.
    ~BoundedWriter();
    BoundedWriter(const BoundedWriter&) = delete;
    BoundedWriter& operator=(const BoundedWriter&) = delete;

    static constexpr std::chrono::milliseconds finishPatience{2000};

    // Never waits for the output.
    void add(std::string text);

    // Waits until everything handed over so far is written, at most
    // patience. False when the output did not take it in time.
    bool flush(std::chrono::milliseconds patience);

    // Takes no more texts and gives the output at most patience to take what
    // waits. A writer stalled beyond that is left to itself: its thread ends
    // with the process, or when its output comes back. True when everything
    // was written.
    bool finish(std::chrono::milliseconds patience = finishPatience);

    // The output failed and the writer has ended.
    bool failed() const;

private:
    struct State;
    std::shared_ptr<State> state;
    bool finished = false;
};

}  // namespace textio

#endif
