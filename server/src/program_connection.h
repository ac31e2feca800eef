#ifndef DAMRELAY_PROGRAM_CONNECTION_H
#define DAMRELAY_PROGRAM_CONNECTION_H

#include <array>
#include <boost/asio/ip/tcp.hpp>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "line_sink.h"
#include "line_splitter.h"

// Lines waiting for a program that does not read, beyond what its socket
// holds. A board sends a few kilobytes a second at most: this is minutes of
// it, so only a program that has stopped reading reaches it.
constexpr std::size_t defaultSendBound = 1024 * 1024;

// The connection to the draughts program. Reads and writes complete on the
// thread that runs the socket's io_context (the session's); lines are sent
// from there and from the board's thread.
//
// A line is handed to the socket at once when nothing waits before it; what
// the socket does not take waits here and goes out through one write in
// flight. Nobody ever waits for the program: a program that leaves more
// than the bound waiting is disconnected, as if it had gone away.
class ProgramConnection : public LineSink, public std::enable_shared_from_this<ProgramConnection> {
public:
    using LineHandler = LineSplitter::LineHandler;
    using EndHandler = std::function<void()>;

    explicit ProgramConnection(boost::asio::ip::tcp::socket socket, std::size_t sendBound = defaultSendBound);
    ProgramConnection(const ProgramConnection&) = delete;
    ProgramConnection& operator=(const ProgramConnection&) = delete;

    // Starts reading. onLine gets each line without its line feed (the last
    // one also when the program closes without a line feed); reading stops
    // when it returns false. onEnd is called once when reading has stopped,
    // for whatever reason, and the connection has ended.
    void start(LineHandler onLine, EndHandler onEnd);

    bool sendLine(const std::string& text) override;

    // Ends the connection: lines still waiting are not sent (the log says
    // how many bytes), a read in progress ends. On the session's thread.
    void end();

private:
    void readSome();
    void onRead(const boost::system::error_code& error, std::size_t size);
    void stopReading();
    // The caller holds lock.
    void writeWaiting();
    void onWritten(const boost::system::error_code& error);
    void stopSending(const std::string& why);
    void logSent(const std::string& text);

    boost::asio::ip::tcp::socket socket;
    const std::size_t sendBound;

    // Held for each line sent: the line's log text, the socket's send and
    // the queue go together.
    std::mutex lock;
    std::string waiting;    // whole lines after the write in flight
    std::string inFlight;   // the bytes of the write in flight
    bool writing = false;   // a write is in flight or about to start
    bool sending = true;    // false once the connection is ending

    // Session's thread only.
    LineSplitter splitter;
    std::array<char, 16 * 1024> readBuffer{};
    LineHandler onLine;
    EndHandler onEnd;
    bool reading = false;
};

#endif
