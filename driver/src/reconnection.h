#ifndef BOARDIO_RECONNECTION_H
#define BOARDIO_RECONNECTION_H

#include <atomic>
#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <functional>

namespace krvEBLowLevel {

// Reopening the port after the link has failed: the pause before each
// attempt, the count of attempts and the failure mark.
//
// The pause runs on a timer of the board's own event loop rather than as a
// sleep: a reconnection starts inside the delivery of the failing link's own
// error, and that thread must go on delivering and must never wait for
// itself.
class Reconnection {
public:
    static constexpr std::chrono::milliseconds pause{500};
    static constexpr int attemptLimit = 3;

    explicit Reconnection(boost::asio::io_context& ioService) : timer(ioService) {}

    // I/O thread. Counts an attempt and runs `reopen` once the pause is over,
    // unless an attempt is already due. True when this attempt passed the
    // limit and set the failure mark.
    bool start(std::function<void()> reopen);
    // I/O thread: an attempt is waiting for its pause to end.
    bool due() const { return pending; }
    // I/O thread: no reopen follows.
    void cancel() { timer.cancel(); }
    // I/O thread: the board answered with its version, so it is reachable
    // again; the count starts afresh and the mark is cleared.
    void boardAnswered();

    // Any thread.
    bool failed() const { return failedMark; }

private:
    boost::asio::steady_timer timer;
    int attempts = 0;
    bool pending = false;
    std::atomic<bool> failedMark{false};
};

}  // namespace krvEBLowLevel

#endif
