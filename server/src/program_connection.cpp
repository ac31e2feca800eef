#include "program_connection.h"

#include <atomic>
#include <boost/format.hpp>
#include <mutex>

#include "console.h"

namespace {

// Sends hold the lock for the whole line. The pointer itself is atomic so
// that the session thread can read it, and end a connection whose send is
// blocked, without waiting for that send.
std::mutex sendLock;
std::atomic<Socket*> programSocket{nullptr};

// Caller holds sendLock.
bool sendLocked(Socket& socket, const std::string& text) {
    writeConsole(str(boost::format("send: '%1%'\n") % text));
    return socket.sendAll(text + '\n');
}

}  // namespace

void setProgramSocket(Socket* socket, const std::string& greeting) {
    std::lock_guard<std::mutex> hold(sendLock);
    programSocket = socket;
    if (socket != nullptr && !greeting.empty()) sendLocked(*socket, greeting);
}

void endProgramConnection() {
    // Only the session thread installs and ends the connection, so the
    // pointer cannot change under us here.
    Socket* socket = programSocket.load();
    if (socket == nullptr) return;
    // A send blocked on a program that no longer reads would hold the lock
    // for ever; ending the connection first makes it return.
    socket->shutdownBoth();
    {
        std::lock_guard<std::mutex> hold(sendLock);
        programSocket = nullptr;
    }
    delete socket;
}

bool hasProgramSocket() { return programSocket.load() != nullptr; }

bool sendLine(const std::string& text) {
    std::lock_guard<std::mutex> hold(sendLock);
    Socket* socket = programSocket.load();
    if (socket == nullptr) return false;
    return sendLocked(*socket, text);
}

std::string receiveLine() {
    // Only the session thread reads and only it ends the connection, so the
    // socket stays valid while this runs without the lock.
    Socket* socket = programSocket.load();
    if (socket == nullptr) return {};
    std::string line;
    for (;;) {
        // One byte at a time: nothing after the line feed is taken early.
        char byte = 0;
        const long received = socket->receive(&byte, 1);
        if (received < 0) return {};
        if (received == 0) return line;
        if (line.size() < maxRequestLineLength || byte == '\n') line += byte;
        if (byte == '\n') return line;
    }
}
