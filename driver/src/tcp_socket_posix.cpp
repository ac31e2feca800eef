#if !defined(_WIN32)

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "tcp_socket_native.h"

namespace krvEBLowLevel {

namespace {

boost::system::error_code systemError(int value) { return {value, boost::system::system_category()}; }

void setInt(NativeSocket socket, int level, int name, int value) {
    ::setsockopt(socket, level, name, &value, sizeof value);
}

}  // namespace

boost::system::error_code connectBy(NativeSocket socket, const boost::asio::ip::tcp::endpoint& peer,
                                    std::chrono::steady_clock::time_point deadline) {
    if (::connect(socket, peer.data(), static_cast<socklen_t>(peer.size())) == 0) return {};
    // Interrupted, the connect goes on in the background as if in progress.
    if (errno != EINPROGRESS && errno != EINTR) return systemError(errno);
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) return boost::asio::error::timed_out;
        pollfd watched{socket, POLLOUT, 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) return systemError(errno);
        if (ready > 0) break;
    }
    int outcome = 0;
    socklen_t length = sizeof outcome;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &outcome, &length) != 0) return systemError(errno);
    return outcome == 0 ? boost::system::error_code() : systemError(outcome);
}

boost::system::error_code watchFirstWords(NativeSocket socket, std::chrono::steady_clock::time_point until,
                                          std::vector<unsigned char>& said) {
    // A stream that long is a board talking, not a server saying goodbye.
    constexpr std::size_t enough = 4096;
    for (;;) {
        if (said.size() >= enough) return {};
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
        if (left <= 0) return {};
        pollfd watched{socket, POLLIN, 0};
        const int ready = ::poll(&watched, 1, static_cast<int>(left));
        if (ready < 0 && errno != EINTR) return systemError(errno);
        if (ready <= 0) continue;
        unsigned char buffer[512];
        const ssize_t got = ::recv(socket, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got == 0) return boost::asio::error::eof;
        if (got < 0 && errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) return systemError(errno);
        if (got > 0) said.insert(said.end(), buffer, buffer + got);
    }
}

void keepAliveForBoard(NativeSocket socket) {
    // A program the relay's user starts would hold the connection open, and
    // the board's server would take no other host.
    const int flags = ::fcntl(socket, F_GETFD);
    if (flags >= 0) ::fcntl(socket, F_SETFD, flags | FD_CLOEXEC);
    setInt(socket, SOL_SOCKET, SO_KEEPALIVE, 1);
    setInt(socket, IPPROTO_TCP, TCP_KEEPIDLE, 10);
    setInt(socket, IPPROTO_TCP, TCP_KEEPINTVL, 5);
    setInt(socket, IPPROTO_TCP, TCP_KEEPCNT, 4);
#if defined(TCP_USER_TIMEOUT)
    // Probes are sent only while nothing waits for an acknowledgement; a
    // request sent to a vanished machine would otherwise be retransmitted
    // for a quarter of an hour.
    setInt(socket, IPPROTO_TCP, TCP_USER_TIMEOUT, 30000);
#endif
}

std::size_t sendNow(NativeSocket socket, const unsigned char* bytes, std::size_t count) {
    for (;;) {
        const ssize_t sent = ::send(socket, bytes, count, MSG_DONTWAIT | MSG_NOSIGNAL);
        if (sent >= 0) return static_cast<std::size_t>(sent);
        if (errno != EINTR) return 0;
    }
}

}  // namespace krvEBLowLevel

#endif
