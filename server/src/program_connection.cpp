#include "program_connection.h"

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/format.hpp>
#include <utility>

#include "console.h"
#include "log_text.h"

using boost::system::error_code;

ProgramConnection::ProgramConnection(boost::asio::ip::tcp::socket socket, std::size_t sendBound)
    : socket(std::move(socket)), sendBound(sendBound) {
    // A send that the socket cannot take at once must return, not wait: the
    // rest then goes out through the write in flight.
    error_code ignored;
    this->socket.non_blocking(true, ignored);
}

void ProgramConnection::start(LineHandler lineHandler, EndHandler endHandler) {
    onLine = std::move(lineHandler);
    onEnd = std::move(endHandler);
    reading = true;
    readSome();
}

void ProgramConnection::readSome() {
    socket.async_read_some(boost::asio::buffer(readBuffer),
                           [self = shared_from_this()](const error_code& error, std::size_t size) {
                               self->onRead(error, size);
                           });
}

void ProgramConnection::onRead(const error_code& error, std::size_t size) {
    if (!reading) return;
    if (size > 0 && !splitter.feed(readBuffer.data(), size, onLine)) {
        stopReading();
        return;
    }
    if (error) {
        // A program that closes after a last line without its line feed
        // still has that line handled; a failed connection has not.
        if (error == boost::asio::error::eof) {
            if (std::optional<std::string> last = splitter.finish()) onLine(*last);
        }
        stopReading();
        return;
    }
    readSome();
}

void ProgramConnection::stopReading() {
    reading = false;
    end();
    EndHandler handler = std::move(onEnd);
    onEnd = nullptr;
    if (handler) handler();
}

bool ProgramConnection::sendLine(const std::string& text) {
    std::lock_guard<std::mutex> hold(lock);
    if (!sending) return false;
    if (writing) {
        const std::size_t waitingBytes = waiting.size() + inFlight.size();
        if (waitingBytes + text.size() + 1 > sendBound) {
            stopSending(str(boost::format("*** error: Draughts program does not read: %1% bytes wait for it, "
                                          "connection closed\n") %
                            waitingBytes));
            return false;
        }
        waiting.append(text).push_back('\n');
        logSent(text);
        return true;
    }
    // Logged before the line can reach the program, and under the lock, so
    // that the log keeps the order of the connection and no reply to the
    // line is logged ahead of it.
    logSent(text);
    static const char lineFeed = '\n';
    const std::array<boost::asio::const_buffer, 2> line{boost::asio::buffer(text), boost::asio::buffer(&lineFeed, 1)};
    error_code error;
    const std::size_t sent = socket.send(line, 0, error);
    if (error && error != boost::asio::error::would_block && error != boost::asio::error::try_again) {
        stopSending(str(boost::format("--Draughts program connection lost: %1%\n") % error.message()));
        return false;
    }
    if (sent == text.size() + 1) return true;
    if (sent < text.size()) waiting.append(text, sent, std::string::npos);
    waiting.push_back('\n');
    writing = true;
    boost::asio::post(socket.get_executor(), [self = shared_from_this()] {
        std::lock_guard<std::mutex> hold(self->lock);
        self->writeWaiting();
    });
    return true;
}

void ProgramConnection::logSent(const std::string& text) {
    // Once a line, under the connection's lock: kept cheap.
    writeConsole("send: '" + escapedForLog(text) + "'\n");
}

void ProgramConnection::writeWaiting() {
    if (!sending) {
        writing = false;
        return;
    }
    inFlight.swap(waiting);
    boost::asio::async_write(socket, boost::asio::buffer(inFlight),
                             [self = shared_from_this()](const error_code& error, std::size_t) {
                                 self->onWritten(error);
                             });
}

void ProgramConnection::onWritten(const error_code& error) {
    std::lock_guard<std::mutex> hold(lock);
    inFlight.clear();
    if (error && sending) stopSending(str(boost::format("--Draughts program connection lost: %1%\n") % error.message()));
    if (!sending || waiting.empty()) {
        writing = false;
        return;
    }
    writeWaiting();
}

void ProgramConnection::stopSending(const std::string& why) {
    sending = false;
    writeConsole(why);
    // Closing belongs to the session's thread, where reads and writes
    // complete; its read then ends and the session with it.
    boost::asio::post(socket.get_executor(), [self = shared_from_this()] { self->end(); });
}

void ProgramConnection::end() {
    std::lock_guard<std::mutex> hold(lock);
    if (!socket.is_open()) return;
    const std::size_t unsent = waiting.size() + inFlight.size();
    if (sending && unsent > 0) {
        writeConsole(str(boost::format("--%1% bytes for the Draughts program not sent: the connection ended\n") % unsent));
    }
    sending = false;
    waiting.clear();
    error_code ignored;
    socket.shutdown(boost::asio::ip::tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
}
