#ifndef BOARDIO_SINGLE_BOARD_H
#define BOARDIO_SINGLE_BOARD_H

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "auto_mode.h"
#include "boardio/commands.h"
#include "boardio/messages.h"
#include "boardio/observer.h"
#include "counted_run.h"
#include "link_error.h"
#include "link_state.h"
#include "port_exclusive.h"
#include "serial_connection.h"
#include "serial_message.h"
#include "write_queue.h"

namespace krvEBLowLevel {

// The board connection behind an opened facade: one event loop and the one
// thread that runs it, the serial link and its state, the blocks on their
// way to the port, auto mode, the state word, and the observer of decoded
// messages.
//
// Threads: the caller's (construction, sendCommand, the auto-mode calls,
// getState, close, destruction) and the I/O thread, which does everything
// else: reading, writing, reopening, auto mode's timetable, and every
// delivery. The link's state is the I/O thread's alone; what callers hand
// over, and what they ask about, is kept under one lock.
class SingleBoard final : public SerialObserver {
public:
    static constexpr int commandCapacity = 10000;
    // A minute of the line's time at 9600 baud: far more than a program has
    // reason to queue, and still little memory when a board stops draining.
    static constexpr std::size_t writeQueueCapacity = 60 * 960;

    // Opens the port for `observer`, which hears every message from the
    // first byte read on; nothing is read before start(). Throws
    // boost::system::system_error when the port cannot be opened or set up.
    SingleBoard(const std::string& port, SingleBoardObserver& observer);
    // Must not run on the I/O thread.
    ~SingleBoard();

    SingleBoard(const SingleBoard&) = delete;
    SingleBoard& operator=(const SingleBoard&) = delete;

    // Starts the I/O thread.
    void start();
    // Sets the state from the command's code and writes a copy of its bytes,
    // at once when nothing else is on its way to the port; does not wait.
    void sendCommand(Command* command);
    void startAuto();
    // Returns at once; auto mode asks for nothing more (see AutoMode::stop).
    void stopAuto();
    bool isAutoRunning();
    // COMM_FAILED while the port is not open or the link is marked failed;
    // otherwise what the commands made it.
    krvCommState getState();
    // Returns once the I/O thread has ended; no delivery follows. On the I/O
    // thread itself (inside an observer's update), which cannot wait for its
    // own end, it throws std::logic_error and changes nothing.
    void close();

    // From the link, on the I/O thread.
    void update(std::shared_ptr<krvSerialMessage> frame) override;
    void report(const LinkError& error) override;

private:
    using Clock = std::chrono::steady_clock;

    void runLoop();

    // With `lock` held, on any thread.
    void handOver(Block block);

    // I/O thread.
    void deliver(const std::shared_ptr<Message>& message);
    void deliverError(const LinkError& error);
    void watchDrops();
    void onDropsDue();
    void writeNext();
    void onWritten(const SerialConnection* writer, const boost::system::error_code& error);
    void failLink(const LinkError& error);
    void askForReopen(Clock::time_point earliest);
    void reopen();
    void beginAuto();
    void endAuto();
    void watchAuto();
    void onAutoStep();
    void shutDown();

    const std::string port;
    SingleBoardObserver& observer;
    boost::asio::io_context ioService;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work;

    // I/O thread only.
    std::shared_ptr<SerialConnection> link;  // null while the link is not open
    LinkState linkState;
    bool writing = false;  // the queue's front block is in flight
    boost::asio::steady_timer reopenTimer;
    AutoMode autoMode;
    boost::asio::steady_timer autoTimer;
    boost::asio::steady_timer dropTimer;

    // Shared with the callers' threads, under `lock`.
    std::mutex lock;
    WriteQueue queue;  // the front block is in flight while the I/O thread writes
    // The port while the link is open: with nothing queued, a caller writes
    // to it at once instead of waking the I/O thread.
    std::optional<NativePortHandle> openPort;
    krvCommState state = COMM_IDLE;  // as the commands made it, whatever the link's state
    bool failedMark = false;         // more attempts than the limit since the board last answered
    bool autoOn = false;             // the caller's wish, whatever the link's state
    // Blocks that found no room, reported as one line a run and at most a
    // few lines a second: a line for each would flood a program that floods
    // the board, however well it reads.
    CountedRun drops{{std::chrono::milliseconds(250), std::chrono::milliseconds(1000)}};

    std::thread ioThread;
};

}  // namespace krvEBLowLevel

#endif
