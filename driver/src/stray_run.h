#ifndef BOARDIO_STRAY_RUN_H
#define BOARDIO_STRAY_RUN_H

#include <chrono>
#include <cstddef>

namespace krvEBLowLevel {

// Bytes from the board that were no frame, counted as one run from the first
// of them to whatever ends it (the next frame, a bad header, a failed read),
// so that a burst of noise is reported once rather than once a byte. A run
// that nothing ends is reported once the line has been quiet for a moment,
// and one that goes on and on at least once a second. No I/O: the link feeds
// it and runs the timer.
class StrayRun {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds quiet{100};
    static constexpr std::chrono::milliseconds longest{1000};

    void add(std::size_t bytes, Clock::time_point now);
    bool pending() const { return count != 0; }
    // While pending: when the run is to be reported unless something ends it
    // first.
    Clock::time_point due() const;
    // Ends the run: its length, 0 when there was none.
    std::size_t end();

private:
    std::size_t count = 0;
    Clock::time_point first;
    Clock::time_point last;
};

}  // namespace krvEBLowLevel

#endif
