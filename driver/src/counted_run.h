#ifndef BOARDIO_COUNTED_RUN_H
#define BOARDIO_COUNTED_RUN_H

#include <chrono>
#include <cstddef>

namespace krvEBLowLevel {

// Like events in a row (bytes from the board that were no frame, commands
// that found no room), counted as one run from the first of them to whatever
// ends it, so that a burst is reported once rather than once an event: a
// flood of reports would bury what the reader is waiting for. A run that
// nothing ends is reported once the events have paused for a quiet moment,
// and one that goes on and on once every `longest`. A run is never due sooner
// than a quiet moment after its first event, so the reports of runs that
// fall due come at least that far apart. No I/O: its owner feeds it and runs
// the timer.
class CountedRun {
public:
    using Clock = std::chrono::steady_clock;
    struct Timing {
        std::chrono::milliseconds quiet;
        std::chrono::milliseconds longest;  // not below quiet
    };

    explicit CountedRun(Timing timing) : timing(timing) {}

    void add(std::size_t events, Clock::time_point now);
    bool pending() const { return count != 0; }
    // While pending: when the run is to be reported unless something ends it
    // first.
    Clock::time_point due() const;
    // Ends the run: its length, 0 when there was none.
    std::size_t end();

private:
    Timing timing;
    std::size_t count = 0;
    Clock::time_point first;
    Clock::time_point last;
};

}  // namespace krvEBLowLevel

#endif
