#ifndef BOARDIO_SINGLE_BOARD_H
#define BOARDIO_SINGLE_BOARD_H

#include <atomic>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audience.h"
#include "auto_mode.h"
#include "board_port.h"
#include "boardio/commands.h"
#include "boardio/link_observer.h"
#include "boardio/messages.h"
#include "boardio/observer.h"
#include "frame_reader.h"
#include "link_error.h"
#include "link_state.h"
#include "write_path.h"

namespace krvEBLowLevel {

// The board connection behind an opened facade: its lifecycle and the one
// event loop with the one thread that runs it. The link's state is
// LinkState's, the blocks on their way to the port are WritePath's, the
// cutting of frames is FrameReader's and the timetable of auto mode is
// AutoMode's; what is left here is what ties them to the loop and to the
// facade's observers.
//
// Threads: the caller's (construction, sendCommand, the auto-mode calls,
// getState, close, destruction) and the I/O thread, which does everything
// else: reading, writing, reopening, auto mode's timetable, and every
// delivery. What callers ask about is kept in single words; what they hand
// over goes through the write path's lock.
class SingleBoard final : private BoardPort::Reader, private FrameReader::Sink, private WritePath::Owner {
public:
    static constexpr int commandCapacity = 10000;
    // A minute of the line's time at 9600 baud: far more than a program has
    // reason to queue, and still little memory when a board stops draining.
    static constexpr std::size_t writeQueueCapacity = 60 * 960;

    // Opens the port for the facade, whose observers (`observers` under
    // `observerLock`) hear everything from the first byte read on; nothing
    // is read before start(). When the port cannot be opened or set up, the
    // link observers hear it and boost::system::system_error is thrown.
    SingleBoard(const std::string& port, SingleBoardObserver& facade, std::vector<SingleBoardObserver*>& observers,
                std::mutex& observerLock);
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
    bool isAutoRunning() const { return autoOn; }
    // COMM_FAILED while the port is not open or the link is marked failed;
    // otherwise what the commands made it.
    krvCommState getState() const;
    // Returns once the I/O thread has ended; no delivery follows. On the I/O
    // thread itself (inside an observer's update), which cannot wait for its
    // own end, it throws std::logic_error and changes nothing.
    void close();

    // Whether this is the I/O thread, which delivers to the facade's
    // observers without a lock.
    bool onIoThread() { return loop.get_executor().running_in_this_thread(); }
    void deliverToObservers(const std::shared_ptr<Message>& message) { audience.deliver(message); }

private:
    using Clock = std::chrono::steady_clock;

    static std::shared_ptr<BoardPort> openOrThrow(const std::string& port, boost::asio::io_context& loop,
                                                  Audience& audience);
    void runLoop();
    void begin();

    // The I/O thread.
    void received(const unsigned char* bytes, std::size_t count) override;
    void readFailed(const boost::system::error_code& error) override;
    void frame(const unsigned char* bytes, int size) override;
    void report(const LinkError& error) override;
    void writing(const unsigned char* bytes, std::size_t count) override;
    void writeFailed(const boost::system::error_code& error) override;
    void dropped(std::size_t blocks) override;
    void waitingForPort() override;

    void deliver(const std::shared_ptr<Message>& message);
    void deliverError(const LinkError& error);
    void tell(LinkEvent::Kind kind, const boost::system::error_code& error = {});
    void readFrom(const std::shared_ptr<BoardPort>& port);
    void failLink(const LinkError& error);
    void askForReopen(Clock::time_point earliest);
    void reopen();
    void beginAuto();
    void endAuto();
    void watchAuto();
    void onAutoStep();
    void shutDown();

    const std::string portName;
    SingleBoardObserver& facade;
    boost::asio::io_context loop;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work;
    Audience audience;

    // The I/O thread's, but for what LinkState lets any thread ask.
    LinkState link;
    FrameReader reader;
    WritePath writePath;
    boost::asio::steady_timer reopenTimer;
    AutoMode autoMode;
    boost::asio::steady_timer autoTimer;

    // Single words any thread reads.
    std::atomic<krvCommState> commanded{COMM_IDLE};  // as the commands made it, whatever the link's state
    std::atomic<bool> autoOn{false};                 // the caller's wish, whatever the link's state

    std::thread ioThread;
};

}  // namespace krvEBLowLevel

#endif
