#include "board_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <boost/format.hpp>
#include <cerrno>
#include <string_view>
#include <system_error>
#include <utility>

namespace boardsim {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

volatile sig_atomic_t stopSignal = 0;
// Written to by the handler, so that the loop's wait ends whichever thread
// the signal reached: the console's writer thread does not hold signals
// back.
int wakeEnds[2] = {-1, -1};

void onStopSignal(int signal) {
    const int saved = errno;
    stopSignal = signal;
    const char byte = 0;
    [[maybe_unused]] const ssize_t ignored = ::write(wakeEnds[1], &byte, 1);
    errno = saved;
}

}  // namespace

void ignoreConsoleSignals() {
    // Started in the background of an interactive shell, the board would be
    // stopped at its first read of the terminal; ignored, the read fails and
    // the board goes on without console input. A console whose reader has
    // gone (a pipe) must not end the board either.
    ::signal(SIGTTIN, SIG_IGN);
    ::signal(SIGPIPE, SIG_IGN);
}

void catchStopSignals() {
    if (wakeEnds[0] < 0 && ::pipe2(wakeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe2");
    }
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

namespace {

// What a host leaves behind on the device stays there for as long as the
// board keeps the device: the bytes it did not read, which the next host
// would get as the start of its first frame, and an exclusive hold
// (TIOCEXCL) of a host that ended without giving it up, which keeps everyone
// but root from opening the device. The board drops both, as a serial line
// without a host would; when it cannot open the device itself to do so, it
// moves to a new one.
void clearAfterHost(virtualboard::VirtualBoard& device, std::ostream& console) {
    if (!device.plugged()) return;
    const int slave = ::open(device.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave >= 0) {
        ::tcflush(slave, TCIFLUSH);
        ::ioctl(slave, TIOCNXCL);
        ::close(slave);
        return;
    }
    // Busy with a host that has just opened it: that one is welcome.
    if (errno != EBUSY || device.hostAttached()) return;
    device.replug();
    console << boost::format("the last host left the device locked: the board moved to %1%\n") % device.devicePath();
}

// Writes what the device takes at once. A host that does not read for long
// fills the device's buffer; a board on a serial line does not wait for its
// host either, and the bytes the buffer cannot take are lost.
void writeToHost(int device, const Bytes& bytes, BoardProgram& program, Time now) {
    const int flags = ::fcntl(device, F_GETFL);
    if ((flags & O_NONBLOCK) == 0) ::fcntl(device, F_SETFL, flags | O_NONBLOCK);
    const ssize_t written = ::write(device, bytes.data(), bytes.size());
    const std::size_t lost = bytes.size() - static_cast<std::size_t>(std::max<ssize_t>(written, 0));
    if (lost > 0) program.hostNotReading(lost, now);
}

timespec timeUntil(Time wake, Time now) {
    const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(std::max(wake - now, Clock::duration(0)));
    return {static_cast<time_t>(wait.count() / 1000000000), static_cast<long>(wait.count() % 1000000000)};
}

// Whether a host has the device open, as far as the board can tell by
// looking now and then.
class HostWatch {
public:
    bool look(virtualboard::VirtualBoard& device, Time now, std::ostream& console) {
        opened = false;
        if (device.hostAttached() != attached) {
            attached = !attached;
            if (attached) {
                console << "host opened the port\n";
                opened = true;
                return true;
            }
            // Noted once the board has cleaned up: the next host finds the
            // device as new.
            clearAfterHost(device, console);
            console << "host closed the port\n";
            nextClear = now + 1s;
        } else if (!attached && now >= nextClear) {
            // Again every second: a host may come and go between two looks.
            clearAfterHost(device, console);
            nextClear = now + 1s;
        }
        return attached;
    }
    // At the last look.
    bool justOpened() const { return opened; }

private:
    bool attached = false;
    bool opened = false;
    Time nextClear{};
};

// Lines typed at the board's console. A line longer than a command can be
// (a stream without line feeds) is dropped up to its end, not kept.
class ConsoleInput {
public:
    bool isOpen() const { return open; }
    // False when the person asked to quit.
    bool read(BoardProgram& program, Time now, std::ostream& console) {
        char buffer[512];
        const ssize_t count = ::read(0, buffer, sizeof buffer);
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) return true;
        if (count <= 0) {
            open = false;
            console << "console input ended; the board goes on\n";
            return true;
        }
        for (std::string_view rest(buffer, static_cast<std::size_t>(count)); !rest.empty();) {
            const std::size_t end = rest.find('\n');
            if (!dropping) {
                typed.append(rest.substr(0, end));
                if (typed.size() > BoardProgram::longestLine) {
                    program.consoleLineTooLong();
                    dropping = true;
                    typed.clear();
                }
            }
            if (end == std::string_view::npos) break;
            rest.remove_prefix(end + 1);
            if (!std::exchange(dropping, false) && !program.fromConsole(typed, now)) return false;
            typed.clear();
        }
        return true;
    }

private:
    bool open = true;
    bool dropping = false;  // the rest of a line too long
    std::string typed;
};

// Carries out what the line gives now: its bytes, and the cable pulled or
// plugged in again. False when the board is to end.
bool sendDue(virtualboard::VirtualBoard& device, BoardProgram& program, bool& attached, Time now,
             std::ostream& console) {
    for (;;) {
        const PacedLine::Due due = program.takeDue(now);
        if (attached && !due.bytes.empty()) writeToHost(device.handle(), due.bytes, program, now);
        if (!due.then) return true;
        switch (*due.then) {
            case LinkEvent::End:
                return false;
            case LinkEvent::Pull:
                // The host's reads end and its writes fail, as with a
                // pulled USB cable; the device and the link are gone.
                device.unplug();
                attached = false;
                break;
            case LinkEvent::Plug:
                device.replug();
                console << boost::format("board on %1%\n") % device.devicePath();
                break;
        }
    }
}

}  // namespace

void runBoard(virtualboard::VirtualBoard& device, BoardProgram& program, std::ostream& console) {
    HostWatch host;
    ConsoleInput typing;
    while (stopSignal == 0) {
        Time now = Clock::now();
        bool attached = host.look(device, now, console);
        if (host.justOpened()) program.hostOpened(now);
        if (!sendDue(device, program, attached, now, console)) return;
        // Dropped whole, so that a host arriving later gets no torn frame.
        if (!attached) program.hostAbsent();
        console.flush();

        std::optional<Time> wake = program.nextDue();
        // A host that opens the device shows only as the end of the hang-up,
        // which poll cannot wait for: look again every 20 ms.
        if (!attached) wake = std::min(wake.value_or(Time::max()), now + 20ms);
        const bool reading = typing.isOpen() && program.wantsConsole();
        // A negative descriptor is left out of the wait.
        pollfd waits[3] = {
            {wakeEnds[0], POLLIN, 0}, {reading ? 0 : -1, POLLIN, 0}, {attached ? device.handle() : -1, POLLIN, 0}};
        timespec timeout{};
        if (wake) timeout = timeUntil(*wake, Clock::now());
        if (::ppoll(waits, 3, wake ? &timeout : nullptr, nullptr) <= 0) continue;
        now = Clock::now();

        if (waits[1].revents != 0 && !typing.read(program, now, console)) return;
        if (waits[2].revents & POLLIN) {
            unsigned char buffer[256];
            const ssize_t n = ::read(device.handle(), buffer, sizeof buffer);
            if (n > 0) program.fromHost(Bytes(buffer, buffer + n), now);
        }
    }
    console << boost::format("ended by signal %1%\n") % static_cast<int>(stopSignal);
}

}  // namespace boardsim
