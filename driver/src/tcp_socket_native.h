#ifndef BOARDIO_TCP_SOCKET_NATIVE_H
#define BOARDIO_TCP_SOCKET_NATIVE_H

// What Asio's sockets do not offer and a board over TCP needs: a connect
// that gives up, keep-alive timers of our own, and a send that never waits.
// One file for each system (tcp_socket_posix.cpp, tcp_socket_windows.cpp).

#include <boost/asio/ip/tcp.hpp>
#include <boost/system/error_code.hpp>
#include <chrono>
#include <cstddef>
#include <vector>

namespace krvEBLowLevel {

using NativeSocket = boost::asio::ip::tcp::socket::native_handle_type;

// Connects an open socket in non-blocking mode to `peer`, waiting no later
// than `deadline`: timed_out then.
boost::system::error_code connectBy(NativeSocket socket, const boost::asio::ip::tcp::endpoint& peer,
                                    std::chrono::steady_clock::time_point deadline);

// Reads what a connected peer says until `until`: eof when it closes the
// connection meanwhile (a board's server that has no board behind it takes
// the connection, may say why, and closes it), its error when the
// connection fails, none when it stays open. What was read is in `said`.
boost::system::error_code watchFirstWords(NativeSocket socket, std::chrono::steady_clock::time_point until,
                                          std::vector<unsigned char>& said);

// Keep-alive probes after 10 s of silence, 5 s apart, so that a peer whose
// machine vanished (switched off, its network gone) is given up within
// about half a minute, and a write it never acknowledges no later either;
// not inherited by programs this process starts. Best effort: a system that
// refuses a setting keeps its own.
void keepAliveForBoard(NativeSocket socket);

// Sends what the socket takes at once, without waiting or raising SIGPIPE:
// the number of bytes sent, none on a failure (which the next asynchronous
// write meets again).
std::size_t sendNow(NativeSocket socket, const unsigned char* bytes, std::size_t count);

}  // namespace krvEBLowLevel

#endif
