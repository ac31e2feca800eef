#include "tcp_board_port.h"

#include <boost/asio/post.hpp>

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
    boost::asio::ip::tcp::socket& socket = port->stream;
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
    if (early.empty()) return StreamBoardPort::startReading(portReader);
    reader = &portReader;
    boost::asio::post(stream.get_executor(), [self = shared_from_this(), this] {
        if (!stream.is_open()) return;
        const std::vector<unsigned char> bytes = std::move(early);
        early.clear();
        deliver(bytes.data(), bytes.size());
    });
}

std::size_t TcpBoardPort::writeNow(const unsigned char* bytes, std::size_t count) {
    return sendNow(stream.native_handle(), bytes, count);
}

void TcpBoardPort::close() {
    if (!stream.is_open()) return;
    boost::system::error_code ignored;
    stream.close(ignored);
}

}  // namespace krvEBLowLevel
