#if !defined(_WIN32)

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "socket.h"

namespace {

// A send to a program that has gone away must fail, not end the relay.
#if defined(MSG_NOSIGNAL)
constexpr int sendFlags = MSG_NOSIGNAL;
#else
constexpr int sendFlags = 0;
#endif

void prepare(int handle) {
    // A child process must not keep the program's connection open.
    ::fcntl(handle, F_SETFD, FD_CLOEXEC);
#if defined(SO_NOSIGPIPE)
    int one = 1;
    ::setsockopt(handle, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
}

}  // namespace

Socket::Socket() : handle(::socket(AF_INET, SOCK_STREAM, 0)), ownerCount(nullptr) {
    if (handle < 0) throw SocketError("INVALID_SOCKET");
    prepare(handle);
    ownerCount = new std::atomic<int>(1);
}

Socket::Socket(SocketHandle handle) : handle(handle), ownerCount(new std::atomic<int>(1)) { prepare(handle); }

Socket::Socket(const Socket& other) : handle(other.handle), ownerCount(other.ownerCount) { ++*ownerCount; }

Socket::~Socket() {
    if (--*ownerCount == 0) {
        ::close(handle);
        delete ownerCount;
    }
}

bool Socket::sendAll(const std::string& bytes) {
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t sent = ::send(handle, next, left, sendFlags);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        next += sent;
        left -= static_cast<std::size_t>(sent);
    }
    return true;
}

long Socket::receive(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t received = ::recv(handle, buffer, size, 0);
        if (received < 0 && errno == EINTR) continue;
        return received < 0 ? -1 : static_cast<long>(received);
    }
}

void Socket::shutdownBoth() { ::shutdown(handle, SHUT_RDWR); }

SocketServer::SocketServer(int port) : Socket() {
    // A relay started again at once must not fail while connections of the
    // last one linger; a port another listener holds still cannot be had.
    int one = 1;
    ::setsockopt(handle, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port & 0xFFFF));
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    // On failure the Socket part closes the handle as the exception leaves.
    if (::bind(handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        throw SocketError("INVALID_SOCKET");
    }
    ::listen(handle, 1);
}

Socket* SocketServer::accept() {
    for (;;) {
        const int connection = ::accept(handle, nullptr, nullptr);
        if (connection >= 0) {
            // Lines are small and answered at once: do not hold them back
            // waiting for the peer's acknowledgement.
            int one = 1;
            ::setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            return new Socket(connection);
        }
        // Interrupted, or a connection that was reset before it was taken:
        // the listener itself is fine, so wait for the next one.
        if (errno == EINTR || errno == ECONNABORTED) continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return nullptr;
        throw SocketError("Invalid Socket");
    }
}

#endif
