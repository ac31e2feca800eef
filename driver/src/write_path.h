#ifndef BOARDIO_WRITE_PATH_H
#define BOARDIO_WRITE_PATH_H

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/system/error_code.hpp>
#include <cstddef>
#include <memory>
#include <mutex>

#include "board_port.h"
#include "counted_run.h"
#include "write_queue.h"

namespace krvEBLowLevel {

// Blocks on their way to the board: one writer at a time, in the order the
// blocks were handed over, each block whole on one port. The caller itself
// writes while nothing waits and it may (no thread to wake on the way to the
// board); the event loop's thread writes everything else, one write in
// flight over the queue. A block that finds no room among those waiting is
// dropped, and a run of them reported once. A block cut by its port's
// failure goes out whole on the next port, never its rest.
//
// Its own small lock guards the queue, the port it writes to and the drops;
// it is never held while anything outside is called.
class WritePath {
public:
    // What the write path tells the board connection, on the loop's thread.
    class Owner {
    public:
        // Bytes handed to the port by the loop, before it writes them.
        virtual void writing(const unsigned char* bytes, std::size_t count) = 0;
        // A write failed; its block is not written again.
        virtual void writeFailed(const boost::system::error_code& error) = 0;
        // `blocks` in a row found no room, reported when the run is due.
        virtual void dropped(std::size_t blocks) = 0;
        // A block was handed over while no port is attached.
        virtual void waitingForPort() = 0;

    protected:
        ~Owner() = default;
    };

    WritePath(boost::asio::io_context& loop, Owner& owner, std::size_t capacity);

    // Any thread. Writes on the caller's thread when `mayWriteNow`, nothing
    // waits and a port is there; what the port does not take at once waits
    // for the loop. Copies the bytes it keeps; does not wait.
    void hand(const unsigned char* bytes, std::size_t count, bool mayWriteNow);
    // As hand, if `wanted()` holds, checked in the write path's order: who
    // changes what it reads and then calls settle() knows that no block it
    // ruled out is handed over once settle returns.
    template <class Wanted>
    void handIf(const unsigned char* bytes, std::size_t count, bool mayWriteNow, Wanted wanted) {
        std::lock_guard<std::mutex> hold(lock);
        if (wanted()) handHeld(bytes, count, mayWriteNow);
    }
    void settle() { std::lock_guard<std::mutex> hold(lock); }

    // The loop's thread.
    // A port opened: what waits goes to it.
    void attach(std::shared_ptr<BoardPort> opened);
    // The port is about to close: nothing more goes to it, and a block cut
    // there goes out whole on the next.
    void detach();
    bool waiting();
    // Forgets what waits, for want of a port: how many blocks.
    std::size_t discardWaiting();
    // The session ends: nothing more is written, nothing more is watched.
    void stop();

private:
    using Clock = CountedRun::Clock;

    void handHeld(const unsigned char* bytes, std::size_t count, bool mayWriteNow);
    void writeNext();
    void onWritten(const BoardPort* writtenTo, const boost::system::error_code& error);
    void watchDrops();
    void onDropsDue();

    boost::asio::io_context& loop;
    Owner& owner;
    boost::asio::steady_timer dropTimer;

    std::mutex lock;
    WriteQueue queue;
    std::shared_ptr<BoardPort> port;  // none while the link is down
    std::size_t frontWritten = 0;     // bytes of the front block this port has taken
    bool writing = false;             // the loop is writing the front block
    bool stopped = false;
    // Reported as one line a run and at most a few lines a second: a line
    // for each would flood a program that floods the board, however well it
    // reads.
    CountedRun drops{{std::chrono::milliseconds(250), std::chrono::milliseconds(1000)}};
};

}  // namespace krvEBLowLevel

#endif
