#include "virtualboard/virtual_board.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

namespace virtualboard {

namespace {

[[noreturn]] void fail(const std::string& what) { throw std::system_error(errno, std::generic_category(), what); }

int millisecondsLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

VirtualBoard::VirtualBoard(std::string linkPath) : link(std::move(linkPath)) { plug(); }

VirtualBoard::~VirtualBoard() { unplug(); }

std::string VirtualBoard::portName() const { return link.empty() ? device : link; }

void VirtualBoard::plug() {
    // Raw from the start: bytes written before the host opens the device
    // must not be translated or echoed by the line discipline.
    termios raw{};
    cfmakeraw(&raw);
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0) fail("openpty");
    // The board side never uses the slave itself; keeping it open would hide
    // the host's close from us and keep the device alive after unplug().
    ::close(slave);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    // Writes wait in poll, where a deadline can end them, never in write.
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    device = name;
    if (link.empty()) return;
    try {
        pointLinkAtDevice();
    } catch (...) {
        // A constructor that throws runs no destructor: give the device back
        // here, or its descriptor would stay open with no one to close it.
        ::close(master);
        master = -1;
        device.clear();
        throw;
    }
}

void VirtualBoard::pointLinkAtDevice() {
    // Atomic re-pointing: a host opening the link sees the old or the new
    // device, never a missing link.
    const std::string temporary = link + ".new";
    ::unlink(temporary.c_str());
    // Named by the path its user gave: the temporary name is the board's
    // own business.
    if (::symlink(device.c_str(), temporary.c_str()) != 0) fail("cannot make the link " + link);
    if (::rename(temporary.c_str(), link.c_str()) != 0) {
        const int failure = errno;
        ::unlink(temporary.c_str());
        errno = failure;
        fail("cannot make the link " + link);
    }
}

void VirtualBoard::unplug() {
    if (master < 0) return;
    // The link goes with the device, as a by-id link does when a USB serial
    // adapter is pulled; a dangling link could otherwise reach another
    // process's pseudo-terminal that happens to get the same number.
    if (!link.empty()) ::unlink(link.c_str());
    ::close(master);
    master = -1;
    device.clear();
}

void VirtualBoard::replug() {
    unplug();
    plug();
}

bool VirtualBoard::hostAttached() const {
    if (master < 0) return false;
    // The master side reports a hang-up for as long as no one has the
    // device open.
    pollfd p{master, 0, 0};
    return ::poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0;
}

bool VirtualBoard::waitForHost(std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!hostAttached()) {
        if (millisecondsLeft(deadline) == 0) return false;
        ::poll(nullptr, 0, 5);
    }
    return true;
}

void VirtualBoard::writeBytes(const Bytes& bytes) { writeBytesUntil(bytes, std::chrono::steady_clock::time_point::max()); }

bool VirtualBoard::writeBytesUntil(const Bytes& bytes, std::chrono::steady_clock::time_point deadline) {
    return writeSome(bytes.data(), bytes.size(), deadline) == bytes.size();
}

std::size_t VirtualBoard::writeSome(const unsigned char* data, std::size_t size,
                                    std::chrono::steady_clock::time_point deadline) {
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(master, data + written, size - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN) {
                if (std::chrono::steady_clock::now() >= deadline) break;
                pollfd p{master, POLLOUT, 0};
                ::poll(&p, 1, 100);
                continue;
            }
            fail("write to virtual board");
        }
        written += static_cast<std::size_t>(n);
    }
    return written;
}

Bytes VirtualBoard::frame(unsigned char id, const Bytes& payload) { return boardFrame(id, payload); }

void VirtualBoard::writeFrame(unsigned char id, const Bytes& payload) { writeBytes(frame(id, payload)); }

Bytes VirtualBoard::readSome(std::size_t most, std::chrono::steady_clock::time_point deadline) {
    while (master >= 0) {
        pollfd p{master, POLLIN, 0};
        const int ready = ::poll(&p, 1, millisecondsLeft(deadline));
        // A signal cuts the wait short, not the read: wait again for what
        // is left of the time.
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return {};
        if (p.revents & POLLIN) {
            Bytes chunk(std::min<std::size_t>(most, 4096));
            const ssize_t n = ::read(master, chunk.data(), chunk.size());
            if (n > 0) {
                chunk.resize(static_cast<std::size_t>(n));
                return chunk;
            }
            if (n < 0 && errno == EINTR) continue;
        }
        // Hang-up without data: no host has the device open right now. Poll
        // reports that at once, so pause rather than spin.
        if (millisecondsLeft(deadline) == 0) return {};
        ::poll(nullptr, 0, 5);
    }
    return {};
}

Bytes VirtualBoard::read(std::size_t count, std::chrono::milliseconds timeout) {
    Bytes bytes;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (bytes.size() < count) {
        const Bytes chunk = readSome(count - bytes.size(), deadline);
        if (chunk.empty()) break;
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    }
    return bytes;
}

Bytes VirtualBoard::readUntilQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout) {
    Bytes bytes;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto quietEnds = std::min(deadline, std::chrono::steady_clock::now() + quiet);
        const Bytes chunk = readSome(4096, quietEnds);
        if (chunk.empty()) break;
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    }
    return bytes;
}

}  // namespace virtualboard
