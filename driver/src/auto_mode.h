#ifndef BOARDIO_AUTO_MODE_H
#define BOARDIO_AUTO_MODE_H

#include <chrono>

namespace krvEBLowLevel {

// Auto mode's timetable: which one-byte request goes to the board when. It
// opens with a reset and a request for updates, a step apart, then runs a
// cycle of eleven steps, one every 200 ms, five of which ask for something.
// No I/O and no thread: the board connection runs it on a timer of its own
// event loop.
class AutoMode {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds step{200};
    static constexpr int cycleSteps = 11;
    static constexpr std::chrono::milliseconds cycle = step * cycleSteps;

    // From `now`: the reset is due at once.
    void start(Clock::time_point now);
    // No more requests, except that the opening pair stays whole: a board
    // left reset without the request that follows would stay silent.
    void stop();
    // Forgets everything to come, the opening pair too (the port is gone).
    void clear() { position = idle; }

    bool running() const { return position != idle; }
    // Whether the next request is the opening pair's second, which a stop
    // does not take back.
    bool completingOpening() const { return position == updates; }
    // While running: when the next step is due.
    Clock::time_point due() const { return next; }
    // The request of the step due (0 for a step that asks for nothing), and
    // on to the step after it.
    unsigned char take();

private:
    static constexpr int idle = -2;
    static constexpr int reset = -1;
    static constexpr int updates = 0;
    // 1 to cycleSteps: a step of the cycle

    int position = idle;
    bool stopping = false;
    Clock::time_point next;
};

}  // namespace krvEBLowLevel

#endif
