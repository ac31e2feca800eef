#include "tcp_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <boost/format.hpp>
#include <cerrno>
#include <stdexcept>
#include <thread>

namespace relay_compare {

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

}  // namespace

TcpClient TcpClient::connectTo(int port, Clock::time_point deadline, const std::function<bool()>& stillStarting) {
    for (;;) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) throw std::runtime_error("cannot create a socket");
        const sockaddr_in address = loopback(port);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            return TcpClient(fd);
        }
        ::close(fd);
        if (Clock::now() >= deadline || !stillStarting()) {
            throw std::runtime_error(str(boost::format("nothing accepted a connection on port %1%") % port));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

TcpClient::TcpClient(TcpClient&& other) noexcept : handle(other.handle) { other.handle = -1; }

TcpClient::~TcpClient() { close(); }

void TcpClient::close() {
    if (handle >= 0) ::close(handle);
    handle = -1;
}

bool TcpClient::sendAll(const void* data, std::size_t size) {
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t sent = ::send(handle, next, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        next += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}

long TcpClient::readSome(unsigned char* data, std::size_t size, Clock::time_point deadline) {
    for (;;) {
        const ssize_t n = ::recv(handle, data, size, MSG_DONTWAIT);
        if (n > 0) return static_cast<long>(n);
        if (n == 0) return -1;
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return -1;
        if (Clock::now() >= deadline) return 0;
        pollfd p{handle, POLLIN, 0};
        ::poll(&p, 1, pollMilliseconds(deadline));
    }
}

bool TcpClient::readExactly(unsigned char* data, std::size_t size, Clock::time_point deadline) {
    std::size_t got = 0;
    while (got < size) {
        const long n = readSome(data + got, size - got, deadline);
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::string> TcpClient::readLine(Clock::time_point deadline) {
    // A byte at a time: whatever follows the line stays for the next reader.
    std::string line;
    unsigned char byte = 0;
    while (readSome(&byte, 1, deadline) == 1) {
        if (byte == '\n') return line;
        line += static_cast<char>(byte);
    }
    return std::nullopt;
}

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = loopback(0);
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("cannot find a free port");
    }
    ::close(fd);
    return ntohs(address.sin_port);
}

}  // namespace relay_compare
