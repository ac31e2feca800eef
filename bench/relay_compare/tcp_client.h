#ifndef RELAY_COMPARE_TCP_CLIENT_H
#define RELAY_COMPARE_TCP_CLIENT_H

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "clock.h"

namespace relay_compare {

// The draughts program's end of the relay: one loopback TCP connection with
// Nagle's delay off, so that a small request leaves at once.
class TcpClient {
public:
    // Connects to port on 127.0.0.1, trying again until the deadline while
    // the relay is still starting up; gives up early once stillStarting says
    // the relay has gone. Throws when no connection was made.
    static TcpClient connectTo(int port, Clock::time_point deadline, const std::function<bool()>& stillStarting);

    TcpClient(TcpClient&& other) noexcept;
    TcpClient& operator=(TcpClient&&) = delete;
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;
    ~TcpClient();

    bool sendAll(const void* data, std::size_t size);
    bool sendAll(const std::string& text) { return sendAll(text.data(), text.size()); }
    // False when the deadline passed or the relay closed first.
    bool readExactly(unsigned char* data, std::size_t size, Clock::time_point deadline);
    // Whatever has arrived, at most size bytes: 0 when nothing came by the
    // deadline, -1 when the relay closed the connection.
    long readSome(unsigned char* data, std::size_t size, Clock::time_point deadline);
    // One line without its line feed; empty when none came by the deadline.
    std::optional<std::string> readLine(Clock::time_point deadline);
    void close();

private:
    explicit TcpClient(int handle) : handle(handle) {}
    int handle = -1;
};

// A loopback port no one listens on right now: the one the system picks for
// a bind to port 0.
int freeLoopbackPort();

}  // namespace relay_compare

#endif
