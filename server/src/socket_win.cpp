#if defined(_WIN32)

#include <winsock2.h>
#include <ws2tcpip.h>

#include <climits>
#include <mutex>

#include "socket.h"

namespace {

// Windows Sockets must be started before the first socket and may be cleaned
// up after the last: count the live Socket objects of both classes.
std::mutex winsockLock;
int liveSocketCount = 0;

void startWinsock() {
    std::lock_guard<std::mutex> hold(winsockLock);
    if (liveSocketCount == 0) {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 0), &data) != 0) throw SocketError("Could not start WSA");
    }
    ++liveSocketCount;
}

void stopWinsock() {
    std::lock_guard<std::mutex> hold(winsockLock);
    if (--liveSocketCount == 0) ::WSACleanup();
}

SOCKET native(SocketHandle handle) { return static_cast<SOCKET>(handle); }

}  // namespace

Socket::Socket() : handle(static_cast<SocketHandle>(INVALID_SOCKET)), ownerCount(nullptr) {
    startWinsock();
    handle = static_cast<SocketHandle>(::socket(AF_INET, SOCK_STREAM, 0));
    if (native(handle) == INVALID_SOCKET) {
        stopWinsock();
        throw SocketError("INVALID_SOCKET");
    }
    ownerCount = new std::atomic<int>(1);
}

Socket::Socket(SocketHandle handle) : handle(handle), ownerCount(nullptr) {
    startWinsock();
    ownerCount = new std::atomic<int>(1);
}

Socket::Socket(const Socket& other) : handle(other.handle), ownerCount(other.ownerCount) {
    startWinsock();
    ++*ownerCount;
}

Socket::~Socket() {
    if (--*ownerCount == 0) {
        ::closesocket(native(handle));
        delete ownerCount;
    }
    stopWinsock();
}

bool Socket::sendAll(const std::string& bytes) {
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const int chunk = left > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(left);
        const int sent = ::send(native(handle), next, chunk, 0);
        if (sent == SOCKET_ERROR || sent == 0) return false;
        next += sent;
        left -= static_cast<std::size_t>(sent);
    }
    return true;
}

long Socket::receive(char* buffer, std::size_t size) {
    const int most = size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
    const int received = ::recv(native(handle), buffer, most, 0);
    return received == SOCKET_ERROR ? -1 : static_cast<long>(received);
}

void Socket::shutdownBoth() { ::shutdown(native(handle), SD_BOTH); }

SocketServer::SocketServer(int port) : Socket() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port & 0xFFFF));
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    // On failure the Socket part closes the handle as the exception leaves.
    if (::bind(native(handle), reinterpret_cast<const sockaddr*>(&address), sizeof address) == SOCKET_ERROR) {
        throw SocketError("INVALID_SOCKET");
    }
    ::listen(native(handle), 1);
}

Socket* SocketServer::accept() {
    const SOCKET connection = ::accept(native(handle), nullptr, nullptr);
    if (connection == INVALID_SOCKET) {
        if (::WSAGetLastError() == WSAEWOULDBLOCK) return nullptr;
        throw SocketError("Invalid Socket");
    }
    // Lines are small and answered at once: do not hold them back waiting
    // for the peer's acknowledgement.
    BOOL one = TRUE;
    ::setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    return new Socket(static_cast<SocketHandle>(connection));
}

#endif
