#ifndef DAMRELAY_SOCKET_H
#define DAMRELAY_SOCKET_H

// The small socket layer under the connection to the draughts program: BSD
// sockets on POSIX systems, Windows Sockets on Windows. Nothing of either
// system's headers leaks out of here.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#if defined(_WIN32)
using SocketHandle = std::uintptr_t;  // SOCKET
#else
using SocketHandle = int;
#endif

// An error of the socket layer. It carries only its text: "Could not start
// WSA", "INVALID_SOCKET" or "Invalid Socket".
class SocketError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One TCP stream socket. Copies share the handle; the last one to go closes it.
class Socket {
public:
    // A new IPv4 stream socket.
    Socket();
    // Takes over a handle that accept returned.
    explicit Socket(SocketHandle handle);
    Socket(const Socket& other);
    Socket& operator=(const Socket&) = delete;
    virtual ~Socket();

    // Sends every byte, however many calls that takes. False when the
    // connection has failed (the peer went away); never raises a signal.
    bool sendAll(const std::string& bytes);
    // One receive of at most size bytes: the count received, 0 when the peer
    // has closed the connection, -1 when the receive failed.
    long receive(char* buffer, std::size_t size);
    // Ends the connection in both directions at once; a send or receive that
    // is blocked on it returns. The handle stays valid until it is closed.
    void shutdownBoth();

    SocketHandle handle;
    std::atomic<int>* ownerCount;
};

// A socket listening on all local IPv4 addresses.
class SocketServer : public Socket {
public:
    // Binds to port and listens; raises "INVALID_SOCKET" when the port cannot
    // be had (for example when another listener holds it).
    explicit SocketServer(int port);

    // Waits for one connection and returns it; the caller owns it. Null when
    // no connection could be taken without waiting; raises "Invalid Socket"
    // when accepting failed.
    Socket* accept();
};

#endif
