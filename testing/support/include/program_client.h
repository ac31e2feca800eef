#ifndef TESTSUPPORT_PROGRAM_CLIENT_H
#define TESTSUPPORT_PROGRAM_CLIENT_H

// The draughts program's side of the TCP connection, for tests and the bench.

// With the socket calls: tests make sockets of their own too (a port held
// by another program, localPort()).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>

namespace testing_support {

using namespace std::chrono_literals;

// A TCP port no one listens on right now: the kernel's choice for port 0.
int freeTcpPort();

// The local port a socket is bound to.
int localPort(int handle);

// A socket listening on every interface, on a port of the kernel's choice:
// another program that holds a port (localPort tells which). The caller
// closes it.
int listeningSocket();

// One connection to a local port, with Nagle's delay off so that a small
// request leaves at once. Every read waits at most its timeout.
class ProgramClient {
public:
    // Connects to the local port, trying again until the listener is there.
    explicit ProgramClient(int port, std::chrono::milliseconds patience = 5s);
    ~ProgramClient() { close(); }
    ProgramClient(const ProgramClient&) = delete;
    ProgramClient& operator=(const ProgramClient&) = delete;

    bool connected() const { return fd >= 0; }

    // False when the connection did not take all of it.
    bool send(const std::string& bytes);
    bool sendLine(const std::string& line) { return send(line + "\n"); }

    // The next line without its line feed; empty optional when none came by
    // the deadline or the connection ended first.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout = 5s);
    // The next count bytes; fewer when the deadline passed or the connection
    // ended first.
    std::string read(std::size_t count, std::chrono::milliseconds timeout = 5s);
    // Whatever has arrived, waiting for the first bytes up to the timeout;
    // empty when nothing came or the connection ended (peerClosed() tells).
    std::string readSome(std::chrono::milliseconds timeout = 5s);

    // True when the peer closed the connection by the deadline (bytes that
    // came first are kept for the reads).
    bool waitForClose(std::chrono::milliseconds timeout = 5s);
    bool peerClosed() const { return closedByPeer; }

    void close();
    // Goes away with a reset, as a program that crashes does.
    void reset();

private:
    bool receiveSome(std::chrono::steady_clock::time_point deadline);

    int fd = -1;
    std::string pending;
    bool closedByPeer = false;
};

}  // namespace testing_support

#endif
