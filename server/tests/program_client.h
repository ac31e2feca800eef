#ifndef DAMRELAY_TESTS_PROGRAM_CLIENT_H
#define DAMRELAY_TESTS_PROGRAM_CLIENT_H

// The draughts program's side of the TCP connection, for tests.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

namespace testing_support {

using namespace std::chrono_literals;

// A TCP port no one listens on right now: the kernel's choice for port 0.
inline int freeTcpPort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(probe);
    return ntohs(address.sin_port);
}

// The local port a socket is bound to.
inline int localPort(int handle) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

class ProgramClient {
public:
    // Connects to the local port, trying again until the listener is there.
    explicit ProgramClient(int port, std::chrono::milliseconds patience = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        for (;;) {
            fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<uint16_t>(port));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) break;
            ::close(fd);
            fd = -1;
            if (std::chrono::steady_clock::now() > deadline) return;
            std::this_thread::sleep_for(10ms);
        }
        int one = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    ~ProgramClient() { close(); }
    ProgramClient(const ProgramClient&) = delete;
    ProgramClient& operator=(const ProgramClient&) = delete;

    bool connected() const { return fd >= 0; }

    void send(const std::string& bytes) {
        std::size_t done = 0;
        while (fd >= 0 && done < bytes.size()) {
            const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (sent <= 0) return;
            done += static_cast<std::size_t>(sent);
        }
    }
    void sendLine(const std::string& line) { send(line + "\n"); }

    // The next line without its line feed; empty optional when none came by
    // the deadline or the connection ended first.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout = 5s) {
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

    // True when the relay closed the connection by the deadline (bytes that
    // came first are kept for readLine).
    bool waitForClose(std::chrono::milliseconds timeout = 5s) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (receiveSome(deadline)) {
        }
        return closedByPeer;
    }

    void close() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    // Goes away with a reset, as a program that crashes does.
    void reset() {
        if (fd < 0) return;
        linger abort{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        close();
    }

private:
    bool receiveSome(std::chrono::steady_clock::time_point deadline) {
        if (fd < 0) return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
        char buffer[65536];
        const ssize_t received = ::recv(fd, buffer, sizeof buffer, 0);
        if (received <= 0) {
            closedByPeer = true;
            return false;
        }
        pending.append(buffer, static_cast<std::size_t>(received));
        return true;
    }

    int fd = -1;
    std::string pending;
    bool closedByPeer = false;
};

}  // namespace testing_support

#endif
