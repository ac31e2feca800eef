#if defined(_WIN32)

#include <winsock2.h>
// After winsock2.h, which it needs.
#include <mstcpip.h>

#include "tcp_socket_native.h"

namespace krvEBLowLevel {

namespace {

boost::system::error_code socketError(int value) { return {value, boost::system::system_category()}; }

}  // namespace

boost::system::error_code connectBy(NativeSocket socket, const boost::asio::ip::tcp::endpoint& peer,
                                    std::chrono::steady_clock::time_point deadline) {
    if (::connect(socket, peer.data(), static_cast<int>(peer.size())) == 0) return {};
    const int started = ::WSAGetLastError();
    if (started != WSAEWOULDBLOCK) return socketError(started);
    const auto left = std::chrono::ceil<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return boost::asio::error::timed_out;
    fd_set writable;
    fd_set failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket, &writable);
    FD_SET(socket, &failed);
    timeval wait{static_cast<long>(left.count() / 1000000), static_cast<long>(left.count() % 1000000)};
    // Windows tells a refused connect in the exception set, not the
    // writable one.
    const int ready = ::select(0, nullptr, &writable, &failed, &wait);
    if (ready == SOCKET_ERROR) return socketError(::WSAGetLastError());
    if (ready == 0) return boost::asio::error::timed_out;
    int outcome = 0;
    int length = sizeof outcome;
    if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&outcome), &length) != 0) {
        return socketError(::WSAGetLastError());
    }
    return outcome == 0 ? boost::system::error_code() : socketError(outcome);
}

boost::system::error_code watchFirstWords(NativeSocket socket, std::chrono::steady_clock::time_point until,
                                          std::vector<unsigned char>& said) {
    // A stream that long is a board talking, not a server saying goodbye.
    constexpr std::size_t enough = 4096;
    for (;;) {
        if (said.size() >= enough) return {};
        const auto left = std::chrono::ceil<std::chrono::microseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) return {};
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket, &readable);
        timeval wait{static_cast<long>(left.count() / 1000000), static_cast<long>(left.count() % 1000000)};
        const int ready = ::select(0, &readable, nullptr, nullptr, &wait);
        if (ready == SOCKET_ERROR) return socketError(::WSAGetLastError());
        if (ready == 0) continue;
        char buffer[512];
        const int got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got == 0) return boost::asio::error::eof;
        if (got == SOCKET_ERROR) {
            const int failure = ::WSAGetLastError();
            if (failure != WSAEWOULDBLOCK) return socketError(failure);
            continue;
        }
        said.insert(said.end(), buffer, buffer + got);
    }
}

void keepAliveForBoard(NativeSocket socket) {
    // Sockets are not inherited by the programs this process starts unless
    // asked for. Windows sends ten probes, the interval apart, after the
    // idle time: 10 s + 10 x 2 s.
    tcp_keepalive settings{};
    settings.onoff = 1;
    settings.keepalivetime = 10000;
    settings.keepaliveinterval = 2000;
    DWORD returned = 0;
    ::WSAIoctl(socket, SIO_KEEPALIVE_VALS, &settings, sizeof settings, nullptr, 0, &returned, nullptr, nullptr);
}

// The socket is bound to the I/O thread's completion port: every block goes
// the asynchronous way, as on a serial port.
std::size_t sendNow(NativeSocket, const unsigned char*, std::size_t) { return 0; }

}  // namespace krvEBLowLevel

#endif
