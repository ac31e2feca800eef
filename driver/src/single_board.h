#ifndef BOARDIO_SINGLE_BOARD_H
#define BOARDIO_SINGLE_BOARD_H

#include <atomic>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "boardio/commands.h"
#include "boardio/messages.h"
#include "boardio/observer.h"
#include "serial_connection.h"
#include "serial_message.h"

namespace krvEBLowLevel {

// The board connection behind an opened facade: its event loop and the one
// thread that runs it, the serial link, auto mode, the state word and the
// observers of decoded messages. Reopens the port when a link error arrives
// while the port is closed.
//
// Threads: the caller's (construction, attach, sendCommand, startAuto,
// stopAuto, close, destruction), the I/O thread (every delivery and every
// reconnection) and the auto-mode thread (writes only).
class SingleBoard final : public SerialObserver {
public:
    static constexpr std::chrono::milliseconds autoStep{200};
    static constexpr int autoCycleSteps = 11;
    static constexpr std::chrono::milliseconds reconnectPause{500};
    static constexpr int attemptLimit = 3;
    static constexpr int commandCapacity = 10000;

    // Opens the port and starts the I/O thread; throws
    // boost::system::system_error when the port cannot be opened or set up.
    explicit SingleBoard(const std::string& port);
    ~SingleBoard();

    SingleBoard(const SingleBoard&) = delete;
    SingleBoard& operator=(const SingleBoard&) = delete;

    void attach(SingleBoardObserver* observer);
    // Sets the state from the command's code and queues a copy of its bytes;
    // does not wait for the write.
    void sendCommand(Command* command);
    void startAuto();
    void stopAuto();
    bool isAutoRunning() const { return autoRunning; }
    krvCommState getState() const { return state; }
    // Returns once the I/O thread has ended; no delivery follows.
    void close();

    void update(std::shared_ptr<krvSerialMessage> frame) override;

private:
    void dispatch(const std::shared_ptr<krvSerialMessage>& frame, bool mayReconnect);
    void notify(const std::shared_ptr<Message>& message);

    void handleLinkError(const std::shared_ptr<Message>& message);
    void reopen();
    void reportWriteWithoutLink();

    // Any thread: hands the bytes to the current link on the I/O thread.
    void writeBlock(std::vector<unsigned char> block);
    std::shared_ptr<SerialConnection> currentLink();

    void autoLoop();
    void writeAutoRequest(unsigned char code);
    bool waitForAutoStep(std::chrono::steady_clock::time_point due);

    std::string port;
    boost::asio::io_context ioService;
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work;
    boost::asio::steady_timer reconnectTimer;  // I/O thread only
    std::shared_ptr<SerialConnection> link;    // null while a reopen is due or has failed
    std::mutex linkLock;                       // guards `link` against close() on the caller's thread
    std::thread ioThread;

    std::thread autoThread;
    std::mutex autoControlLock;  // serialises starting and stopping; never held by the auto thread
    std::mutex autoWaitLock;
    std::condition_variable autoWake;
    std::atomic<bool> autoRunning{false};

    std::atomic<krvCommState> state{COMM_IDLE};
    std::atomic<bool> failed{false};
    int reconnectAttempts = 0;  // I/O thread only
    bool reconnectDue = false;  // I/O thread only: the pause before a reopen is running
    std::atomic<bool> closing{false};
    bool closed = false;  // caller's thread only

    std::vector<SingleBoardObserver*> observers;
    std::mutex observerLock;
};

}  // namespace krvEBLowLevel

#endif
