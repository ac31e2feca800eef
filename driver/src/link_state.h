#ifndef BOARDIO_LINK_STATE_H
#define BOARDIO_LINK_STATE_H

#include <chrono>
#include <optional>

namespace krvEBLowLevel {

// The state of the link to the board, the one place that says whether the
// port is open. Kept by the board connection's I/O thread alone, without I/O
// of its own: the connection opens and closes the port and runs the timer.
//
//   open --read or write failed--> failed --something to write--> reopening
//   reopening --port opened--> open;  reopening --still gone--> failed
//   any --close--> closed, for good
//
// Each attempt counts; one more than the limit since the board last answered
// (any message of its own) marks the link failed until it answers again.
class LinkState {
public:
    using Clock = std::chrono::steady_clock;
    enum class Phase { open, failed, reopening, closed };

    // A device that has just gone may still be on its way out (a USB
    // adapter being re-enumerated): no attempt comes sooner than this after
    // the port was closed.
    static constexpr std::chrono::milliseconds pause{500};
    static constexpr int attemptLimit = 3;

    Phase phase() const { return current; }
    bool isOpen() const { return current == Phase::open; }

    // open -> failed: the port was closed at `now`.
    void fail(Clock::time_point now);
    // Something waits for the port: failed -> reopening, or an attempt
    // already due later is brought forward. Gives the time the attempt is
    // due (`earliest`, but not within the pause) when that changed; empty
    // when it did not, or the link is open or closed.
    std::optional<Clock::time_point> reopenBy(Clock::time_point earliest);
    // reopening: an attempt starts now. True for every attempt beyond the
    // limit: the link is marked failed.
    bool attempt();
    // The attempt's outcome: reopening -> open, or back to failed as if the
    // port had been closed at `now`.
    void opened();
    void stillGone(Clock::time_point now);
    void close() { current = Phase::closed; }

    // The board sent a message: it is reachable, the count
    // starts afresh and the mark goes.
    void boardAnswered();
    bool marked() const { return attempts > attemptLimit; }

private:
    Phase current = Phase::open;
    Clock::time_point closedAt;
    Clock::time_point due;
    int attempts = 0;
};

}  // namespace krvEBLowLevel

#endif
