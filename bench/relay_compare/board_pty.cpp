#include "board_pty.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace relay_compare {

BoardPty::BoardPty() {
    // Raw from the start, so that nothing the board writes before the relay
    // sets the line up is translated or echoed.
    termios raw{};
    cfmakeraw(&raw);
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0) {
        throw std::system_error(errno, std::generic_category(), "openpty");
    }
    // Only the relay may hold the device side: a slave kept open here would
    // hide the relay's close.
    ::close(slave);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    device = name;
}

BoardPty::~BoardPty() { ::close(master); }

bool BoardPty::waitForHost(Clock::time_point deadline) const {
    for (;;) {
        // The master reports a hang-up for as long as no one has the device open.
        pollfd p{master, 0, 0};
        if (::poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0) return true;
        if (Clock::now() >= deadline) return false;
        ::poll(nullptr, 0, 2);
    }
}

std::size_t BoardPty::write(const unsigned char* data, std::size_t size, Clock::time_point deadline) {
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(master, data + written, size - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) break;
        if (Clock::now() >= deadline) break;
        pollfd p{master, POLLOUT, 0};
        ::poll(&p, 1, pollMilliseconds(deadline));
    }
    return written;
}

bool BoardPty::readExactly(unsigned char* data, std::size_t size, Clock::time_point deadline) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::read(master, data + got, size - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            continue;
        }
        if (Clock::now() >= deadline) return false;
        if (n < 0 && errno == EIO) {
            // No host has the device open right now: poll would report that
            // at once, so pause instead of spinning.
            ::poll(nullptr, 0, 2);
            continue;
        }
        pollfd p{master, POLLIN, 0};
        ::poll(&p, 1, pollMilliseconds(deadline));
    }
    return true;
}

}  // namespace relay_compare
