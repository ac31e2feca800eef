#include "socket_server.h"

#include <boost/asio/write.hpp>
#include <boost/format.hpp>

#include "console.h"

#if !defined(_WIN32)
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#endif

namespace {

using boost::asio::ip::tcp;
using boost::system::error_code;

template <class Socket>
void keepFromChildProcesses([[maybe_unused]] Socket& socket) {
#if !defined(_WIN32)
    // A process started by the relay must not hold the program's port or
    // connection open.
    ::fcntl(socket.native_handle(), F_SETFD, FD_CLOEXEC);
#endif
}

// The options of a program's connection; none of them is essential, so a
// failure to set one is not an error.
void prepareConnection(tcp::socket& socket) {
    error_code ignored;
    keepFromChildProcesses(socket);
    // Lines are small and answered at once: do not hold them back waiting
    // for the peer's acknowledgement.
    socket.set_option(tcp::no_delay(true), ignored);
    // A program whose machine vanished without closing the connection must
    // not hold the session for ever.
    socket.set_option(boost::asio::socket_base::keep_alive(true), ignored);
#if defined(TCP_KEEPIDLE) && defined(TCP_KEEPINTVL) && defined(TCP_KEEPCNT)
    // Probes after a minute of silence, given up after about two more.
    socket.set_option(boost::asio::detail::socket_option::integer<IPPROTO_TCP, TCP_KEEPIDLE>(60), ignored);
    socket.set_option(boost::asio::detail::socket_option::integer<IPPROTO_TCP, TCP_KEEPINTVL>(10), ignored);
    socket.set_option(boost::asio::detail::socket_option::integer<IPPROTO_TCP, TCP_KEEPCNT>(12), ignored);
#endif
}

}  // namespace

SocketServer::SocketServer(boost::asio::io_context& io, const std::string& address, unsigned short port)
    : acceptor(io), address(address), listenPort(port) {
    error_code error;
    const tcp::endpoint endpoint(boost::asio::ip::make_address(address, error), port);
    if (error) throw failure("INVALID_SOCKET", error);
    acceptor.open(endpoint.protocol(), error);
    if (error) throw failure("INVALID_SOCKET", error);
    keepFromChildProcesses(acceptor);
#if defined(_WIN32)
    // There SO_REUSEADDR would let another process bind the same port and
    // take the program's connections; this keeps the port ours alone.
    acceptor.set_option(boost::asio::detail::socket_option::boolean<SOL_SOCKET, SO_EXCLUSIVEADDRUSE>(true), error);
#else
    // A relay started again at once must not fail while connections of the
    // last one linger; a port another listener holds still cannot be had.
    acceptor.set_option(tcp::acceptor::reuse_address(true), error);
#endif
    if (!error) acceptor.bind(endpoint, error);
    if (!error) acceptor.listen(1, error);
    if (error) throw failure("INVALID_SOCKET", error);
}

SocketError SocketServer::failure(const char* text, const error_code& error) const {
    return SocketError(str(boost::format("%1%: %2% port %3%: %4%") % text % address % listenPort % error.message()));
}

tcp::socket SocketServer::accept() {
    for (;;) {
        error_code error;
        tcp::socket socket = acceptor.accept(error);
        if (!error) {
            prepareConnection(socket);
            return socket;
        }
        // Interrupted, or a connection that was reset before it was taken:
        // the listener itself is fine, so wait for the next one.
        if (error == boost::asio::error::interrupted || error == boost::asio::error::connection_aborted ||
            error == boost::asio::error::connection_reset) {
            continue;
        }
        if (error == boost::asio::error::would_block || error == boost::asio::error::try_again) {
            return tcp::socket(acceptor.get_executor());
        }
        throw failure("Invalid Socket", error);
    }
}

unsigned short SocketServer::port() const {
    error_code ignored;
    return acceptor.local_endpoint(ignored).port();
}

void SocketServer::refuseOthers(std::string line) {
    refusal = std::move(line) + "\n";
    acceptToRefuse();
}

void SocketServer::acceptToRefuse() {
    acceptor.async_accept([this](const error_code& error, tcp::socket other) {
        if (error == boost::asio::error::operation_aborted) return;
        if (!error) {
            // A new connection's buffer takes one short line at once.
            error_code ignored;
            boost::asio::write(other, boost::asio::buffer(refusal), ignored);
            other.shutdown(tcp::socket::shutdown_both, ignored);
            writeConsole("--another Draughts program refused: one is connected already\n");
        } else if (error != boost::asio::error::connection_aborted && error != boost::asio::error::connection_reset) {
            // Out of descriptors or the like: waiting on would only spin.
            return;
        }
        acceptToRefuse();
    });
}

void SocketServer::close() {
    error_code ignored;
    acceptor.close(ignored);
}
