#include "tcp_board_port.h"

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>

#include "host_lookup.h"
#include "tcp_board_name.h"
#include "tcp_socket_native.h"

namespace krvEBLowLevel {


PortOpening TcpBoardPort::open(const std::string& name, boost::asio::io_context& loop) {
    PortOpening opening;
    const std::optional<TcpBoardName> board = readTcpBoardName(name, opening.error);
    if (!board) {
        opening.step = "tcp:HOST:PORT";
        return opening;
    }
    const HostLookup lookup = lookUpWithin(board->host, board->port, lookupPatience);
    if (lookup.error) {
        opening.error = lookup.error;
        opening.step = "look up " + board->where();
        return opening;
    }
    std::shared_ptr<TcpBoardPort> port(new TcpBoardPort(loop));
    boost::asio::ip::tcp::socket& socket = port->socket;
    const auto deadline = std::chrono::steady_clock::now() + connectPatience;
    // Each address in turn ("localhost" is ::1, then 127.0.0.1), up to the
    // first that takes us; the last one's answer says why none did.
    for (const boost::asio::ip::tcp::endpoint& peer : lookup.endpoints) {
        boost::system::error_code ignored;
        socket.close(ignored);
        socket.open(peer.protocol(), opening.error);
        if (!opening.error) socket.non_blocking(true, opening.error);
        if (!opening.error) opening.error = connectBy(socket.native_handle(), peer, deadline);
        if (!opening.error) break;
    }
    if (opening.error) {
        opening.step = "connect to " + board->where();
        return opening;
    }
    opening.error =
        watchFirstWords(socket.native_handle(), std::chrono::steady_clock::now() + settlePatience, port->early);
    if (opening.error) {
        opening.step = "connect to " + board->where() + ", closed at once" + farewellText(port->early);
        return opening;
    }
    boost::system::error_code ignored;
    socket.non_blocking(false, ignored);
    // A request leaves at once, not after the previous one's acknowledgement.
    socket.set_option(boost::asio::ip::tcp::no_delay(true), ignored);
    keepAliveForBoard(socket.native_handle());
    opening.port = std::move(port);
    return opening;
}

std::string TcpBoardPort::farewellText(const std::vector<unsigned char>& said) {
    constexpr std::size_t shown = 100;
    std::string text;
    for (unsigned char c : said) {
        if (c == '\r' || c == '\n') {
            if (text.empty()) continue;
            break;
        }
        if (text.size() == shown) break;
        text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    return text.empty() ? "" : " after \"" + text + "\"";
}

TcpBoardPort::~TcpBoardPort() { close(); }

void TcpBoardPort::startReading(Reader& portReader) {
    reader = &portReader;
    if (early.empty()) return readNext();
    boost::asio::post(socket.get_executor(), [self = shared_from_this()] {
        if (!self->socket.is_open()) return;
        const std::vector<unsigned char> bytes = std::move(self->early);
        self->early.clear();
        self->reader->received(bytes.data(), bytes.size());
        if (self->socket.is_open()) self->readNext();
    });
}

void TcpBoardPort::readNext() {
    socket.async_read_some(boost::asio::buffer(readBuffer),
                           [self = shared_from_this()](const boost::system::error_code& error, std::size_t size) {
                               self->onRead(error, size);
                           });
}

void TcpBoardPort::onRead(const boost::system::error_code& error, std::size_t size) {
    // Closed by the owner: the read it cut short is no news.
    if (!socket.is_open()) return;
    if (error) {
        reader->readFailed(error);
        return;
    }
    reader->received(readBuffer.data(), size);
    // The reader may have closed the port.
    if (socket.is_open()) readNext();
}

void TcpBoardPort::write(const unsigned char* bytes, std::size_t count, WriteDone done) {
    boost::asio::async_write(socket, boost::asio::buffer(bytes, count),
                             [self = shared_from_this(), done = std::move(done)](const boost::system::error_code& error,
                                                                                 std::size_t) { done(error); });
}

std::size_t TcpBoardPort::writeNow(const unsigned char* bytes, std::size_t count) {
    return sendNow(socket.native_handle(), bytes, count);
}

void TcpBoardPort::close() {
    if (!socket.is_open()) return;
    boost::system::error_code ignored;
    socket.close(ignored);
}

}  // namespace krvEBLowLevel
