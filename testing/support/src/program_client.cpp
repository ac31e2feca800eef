#include "program_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace testing_support {

namespace {

sockaddr_in address(uint32_t host, int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(host);
    return address;
}

// Rounded up to whole milliseconds: rounding down would turn the last
// fraction of a millisecond into a busy loop.
int millisecondsUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left = deadline - std::chrono::steady_clock::now();
    return left.count() <= 0 ? 0 : static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

}  // namespace

int freeTcpPort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in bound = address(INADDR_ANY, 0);
    ::bind(probe, reinterpret_cast<sockaddr*>(&bound), sizeof bound);
    const int port = localPort(probe);
    ::close(probe);
    return port;
}

int listeningSocket() {
    const int holder = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in bound = address(INADDR_ANY, 0);
    ::bind(holder, reinterpret_cast<sockaddr*>(&bound), sizeof bound);
    ::listen(holder, 1);
    return holder;
}

int localPort(int handle) {
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    ::getsockname(handle, reinterpret_cast<sockaddr*>(&bound), &length);
    return ntohs(bound.sin_port);
}

ProgramClient::ProgramClient(int port, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    const sockaddr_in relay = address(INADDR_LOOPBACK, port);
    for (;;) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&relay), sizeof relay) == 0) break;
        close();
        if (std::chrono::steady_clock::now() > deadline) return;
        std::this_thread::sleep_for(10ms);
    }
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

bool ProgramClient::send(const std::string& bytes) {
    std::size_t done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        done += static_cast<std::size_t>(sent);
    }
    return done == bytes.size();
}

std::optional<std::string> ProgramClient::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::string::size_type end = pending.find('\n');
        if (end != std::string::npos) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            return line;
        }
        if (!receiveSome(deadline)) return std::nullopt;
    }
}

std::string ProgramClient::read(std::size_t count, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (pending.size() < count && receiveSome(deadline)) {
    }
    std::string bytes = pending.substr(0, count);
    pending.erase(0, bytes.size());
    return bytes;
}

std::string ProgramClient::readSome(std::chrono::milliseconds timeout) {
    if (pending.empty()) receiveSome(std::chrono::steady_clock::now() + timeout);
    std::string bytes;
    bytes.swap(pending);
    return bytes;
}

bool ProgramClient::waitForClose(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (receiveSome(deadline)) {
    }
    return closedByPeer;
}

void ProgramClient::close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

void ProgramClient::reset() {
    if (fd < 0) return;
    linger abort{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    close();
}

bool ProgramClient::receiveSome(std::chrono::steady_clock::time_point deadline) {
    while (fd >= 0 && !closedByPeer) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char buffer[65536];
        const ssize_t received = ::recv(fd, buffer, sizeof buffer, 0);
        if (received < 0 && errno == EINTR) continue;
        if (received <= 0) {
            closedByPeer = true;
            return false;
        }
        pending.append(buffer, static_cast<std::size_t>(received));
        return true;
    }
    return false;
}

}  // namespace testing_support
