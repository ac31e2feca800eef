#ifndef DAMRELAY_CONSOLE_QUEUE_H
#define DAMRELAY_CONSOLE_QUEUE_H

#include <cstddef>
#include <deque>
#include <string>

// What waits for the console: a console nobody reads (a full pipe, a
// terminal paused with Ctrl-S) must cost the relay neither a wait nor memory
// without end. Bounded; past the bound the oldest texts are dropped and
// counted, since the newest (why the relay ends, say) matter most, and one
// line in their place says how many lines were lost.
class ConsoleQueue {
public:
    static constexpr std::size_t defaultBound = 1024 * 1024;

    explicit ConsoleQueue(std::size_t bound = defaultBound) : bound(bound) {}

    // Adds text behind what waits, dropping the oldest texts while more than
    // the bound waits. The newest text always stays, whatever its size.
    void push(std::string text);

    // The note on what was dropped since the last take, if anything was,
    // then everything waiting, in order; then nothing waits.
    std::string take();

    // Nothing waits and nothing was dropped.
    bool empty() const { return waiting.empty() && droppedLines == 0; }

private:
    const std::size_t bound;
    std::deque<std::string> waiting;
    std::size_t waitingBytes = 0;
    std::size_t droppedLines = 0;
    bool lineOpen = false;  // the last text taken ended in the middle of a line
};

#endif
