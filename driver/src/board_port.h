#ifndef BOARDIO_BOARD_PORT_H
#define BOARDIO_BOARD_PORT_H

// The way to the board, whatever carries the bytes: one portable interface,
// a small file for each transport (serial_board_port.cpp, tcp_board_port.cpp).
// Framing, the write path and the link's state sit above it and are the same
// for all.

#include <boost/asio/io_context.hpp>
#include <boost/system/error_code.hpp>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace krvEBLowLevel {

// One open port to the board. All of it runs on the thread that runs its
// event loop, but for writeNow. It never closes itself or retries: that is
// its owner's decision. Owned through std::shared_ptr: every pending
// operation holds the port, so it outlives its last completion even when its
// owner has let it go.
class BoardPort {
public:
    // Where what is read goes, on the event loop's thread.
    class Reader {
    public:
        // Bytes as one read brought them.
        virtual void received(const unsigned char* bytes, std::size_t count) = 0;
        // Reading has stopped; the port stays open for its owner to close.
        virtual void readFailed(const boost::system::error_code& error) = 0;

    protected:
        ~Reader() = default;
    };
    using WriteDone = std::function<void(const boost::system::error_code&)>;

    virtual ~BoardPort() = default;

    // Reads until it fails or the port is closed; `reader` must outlive the
    // port's last completion.
    virtual void startReading(Reader& reader) = 0;
    // Writes all `count` bytes; they must stay as they are until `done` has
    // run, and no other write may start before then.
    virtual void write(const unsigned char* bytes, std::size_t count, WriteDone done) = 0;
    // From any thread, but never with close() or another writeNow at the
    // same time: writes what the port takes at once, without waiting, and
    // says how much. Nothing on a failure, which the next write meets again.
    virtual std::size_t writeNow(const unsigned char* bytes, std::size_t count) = 0;
    // Closes the port; what is pending ends without a word to the reader.
    virtual void close() = 0;
};

// What opening a port gave: the port, or why there is none.
struct PortOpening {
    std::shared_ptr<BoardPort> port;
    boost::system::error_code error;
    std::string step;  // what failed, as "open", "set_option" or "connect to pi.local:3333"
};

// Opens the port the name stands for: "tcp:HOST:PORT" connects to a board
// served over TCP; any other name is a serial port, opened with the board's
// line settings for this process alone.
PortOpening openBoardPort(const std::string& name, boost::asio::io_context& loop);

}  // namespace krvEBLowLevel

#endif
