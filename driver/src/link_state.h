#ifndef BOARDIO_LINK_STATE_H
#define BOARDIO_LINK_STATE_H

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>

namespace krvEBLowLevel {

class BoardPort;

// The state of the link to the board: the one place that says whether the
// port is open, and holds it while it is. Changed by the board connection's
// I/O thread alone, without I/O of its own: the connection opens and closes
// the port and runs the timer. Whether the link is open and whether it is
// marked can be asked from any thread.
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

    // Open on `port`.
    explicit LinkState(std::shared_ptr<BoardPort> port) : openPort(std::move(port)) {}

    // Any thread.
    Phase phase() const { return current; }
    bool isOpen() const { return current == Phase::open; }
    bool marked() const { return attempts > attemptLimit; }

    // The I/O thread.
    // The open port; none unless open.
    const std::shared_ptr<BoardPort>& port() const { return openPort; }
    // open -> failed: the port is to be closed at `now`; it is handed back
    // for that.
    std::shared_ptr<BoardPort> fail(Clock::time_point now);
    // Something waits for the port: failed -> reopening, or an attempt
    // already due later is brought forward. Gives the time the attempt is
    // due (`earliest`, but not within the pause) when that changed; empty
    // when it did not, or the link is open or closed.
    std::optional<Clock::time_point> reopenBy(Clock::time_point earliest);
    // reopening: an attempt starts now. True for every attempt beyond the
    // limit: the link is marked failed.
    bool attempt();
    // The attempt's outcome: reopening -> open on `port`, or back to failed
    // as if the port had been closed at `now`.
    void opened(std::shared_ptr<BoardPort> port);
    void stillGone(Clock::time_point now);
    // Any phase -> closed: the port, if open, is handed back to be closed.
    std::shared_ptr<BoardPort> close();

    // The board sent a message: it is reachable, the count starts afresh and
    // the mark goes.
    void boardAnswered() { attempts = 0; }

private:
    std::atomic<Phase> current{Phase::open};
    std::atomic<int> attempts{0};
    std::shared_ptr<BoardPort> openPort;
    Clock::time_point closedAt;
    Clock::time_point due;
};

}  // namespace krvEBLowLevel

#endif
