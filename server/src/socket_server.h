#ifndef DAMRELAY_SOCKET_SERVER_H
#define DAMRELAY_SOCKET_SERVER_H

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <stdexcept>
#include <string>

// An error of the relay's listener. Its text starts with "INVALID_SOCKET"
// or "Invalid Socket", which scripts look for, and goes on with the address,
// the port and the system's reason.
class SocketError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The listener that draughts programs connect to.
class SocketServer {
public:
    // Listens on address (an IPv4 or IPv6 address; "0.0.0.0" is every
    // interface) and port. Raises "INVALID_SOCKET: ..." when the port cannot
    // be had, for example when another listener holds it.
    SocketServer(boost::asio::io_context& io, const std::string& address, unsigned short port);

    // Waits for one connection. A connection that was reset before it could
    // be taken is passed over. Raises "Invalid Socket: ..." when accepting fails;
    // returns a socket that is not open when no connection could be taken
    // without waiting.
    boost::asio::ip::tcp::socket accept();

    unsigned short port() const;

    // From now on every further connection gets line (and a line feed) and
    // is closed at once, on the io_context's thread, until close(). The
    // port stays this relay's meanwhile: no other listener can take it.
    void refuseOthers(std::string line);

    // Stops listening.
    void close();

private:
    // "<text>: <address> port <port>: <reason>".
    SocketError failure(const char* text, const boost::system::error_code& error) const;
    void acceptToRefuse();

    boost::asio::ip::tcp::acceptor acceptor;
    const std::string address;
    const unsigned short listenPort;
    std::string refusal;
};

#endif
