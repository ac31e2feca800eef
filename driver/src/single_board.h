#ifndef BOARDIO_SINGLE_BOARD_H
#define BOARDIO_SINGLE_BOARD_H

#include <atomic>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "auto_mode.h"
#include "boardio/commands.h"
#include "boardio/messages.h"
#include "boardio/observer.h"
#include "reconnection.h"
#include "serial_connection.h"
#include "serial_message.h"
#include "write_queue.h"

namespace krvEBLowLevel {

// The board connection behind an opened facade: its event loop and the one
// thread that runs it, the serial link, the queue of blocks for the port,
// auto mode, the reconnection, the state word and the observers of decoded
// messages.
//
// Threads: the caller's (construction, attach, sendCommand, startAuto,
// stopAuto, close, destruction), the I/O thread (every write, every
// delivery and every reconnection) and the auto-mode thread (queues blocks
// only).
class SingleBoard final : public SerialObserver {
public:
    static constexpr int commandCapacity = 10000;
    // A minute of the line's time at 9600 baud: far more than a program has
    // reason to queue, and still little memory when a board stops draining.
    static constexpr std::size_t writeQueueCapacity = 60 * 960;

    // Opens the port and starts the I/O thread; throws
    // boost::system::system_error when the port cannot be opened or set up.
    explicit SingleBoard(const std::string& port);
    // Must not run on the I/O thread.
    ~SingleBoard();

    SingleBoard(const SingleBoard&) = delete;
    SingleBoard& operator=(const SingleBoard&) = delete;

    void attach(SingleBoardObserver* observer);
    // Sets the state from the command's code and queues a copy of its bytes;
    // does not wait for the write.
    void sendCommand(Command* command);
    void startAuto();
    void stopAuto() { autoMode.stop(); }
    bool isAutoRunning() const { return autoMode.running(); }
    krvCommState getState() const { return state; }
    // Returns once the I/O thread has ended; no delivery follows. On the I/O
    // thread itself (inside an observer's update), which cannot wait for its
    // own end, it throws std::logic_error and changes nothing.
    void close();

    void update(std::shared_ptr<krvSerialMessage> frame) override;

private:
    void runLoop();
    void deliver(const std::shared_ptr<Message>& message);
    // Errors the driver finds itself: delivered like the link's, but never a
    // cause to reconnect.
    void report(const std::string& text);

    void handleLinkError();
    void startReconnection();
    void reopen();

    // Any thread: claims room for the block and hands it to the I/O thread.
    void queueBlock(Block block);
    void reportDropped();
    void postDropReports();
    // I/O thread: starts writing the next block unless one is in flight.
    void writeNext();

    std::string port;
    boost::asio::io_context ioService;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work;
    std::shared_ptr<SerialConnection> link;  // I/O thread only; null while a reopen is due or has failed
    WriteQueue queue;
    bool writing = false;  // I/O thread only: the queue's front block is in flight
    std::atomic<unsigned> droppedUnreported{0};
    Reconnection reconnection;
    AutoMode autoMode;

    std::atomic<krvCommState> state{COMM_IDLE};
    std::atomic<bool> closing{false};

    std::vector<SingleBoardObserver*> observers;
    std::mutex observerLock;

    std::thread ioThread;
    std::atomic<std::thread::id> ioThreadId{};
};

}  // namespace krvEBLowLevel

#endif
