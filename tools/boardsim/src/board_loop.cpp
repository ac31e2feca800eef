#include "board_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <boost/format.hpp>
#include <cerrno>

namespace boardsim {

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

volatile sig_atomic_t stopSignal = 0;

void onStopSignal(int signal) { stopSignal = signal; }

// Signals are held back except while waiting, so that one arriving between
// two waits ends the next wait at once instead of being missed.
sigset_t catchStopSignals() {
    sigset_t stops, waiting;
    sigemptyset(&stops);
    // Started in the background of an interactive shell, the board would be
    // stopped at its first read of the terminal; ignored, the read fails and
    // the board goes on without console input. A console whose reader has
    // gone (a pipe) must not end the board either.
    ::signal(SIGTTIN, SIG_IGN);
    ::signal(SIGPIPE, SIG_IGN);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stops, signal);
        struct sigaction action {};
        action.sa_handler = onStopSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
    ::sigprocmask(SIG_BLOCK, &stops, &waiting);
    return waiting;
}

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
void writeToHost(int device, const Bytes& bytes, std::ostream& console) {
    const int flags = ::fcntl(device, F_GETFL);
    if ((flags & O_NONBLOCK) == 0) ::fcntl(device, F_SETFL, flags | O_NONBLOCK);
    const ssize_t written = ::write(device, bytes.data(), bytes.size());
    const std::size_t lost = bytes.size() - static_cast<std::size_t>(std::max<ssize_t>(written, 0));
    if (lost > 0) console << boost::format("host is not reading: %1% bytes lost\n") % lost;
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

// Lines typed at the board's console.
class ConsoleInput {
public:
    bool isOpen() const { return open; }
    // False when the person asked to quit.
    bool read(BoardProgram& program, Time now, std::ostream& console) {
        char buffer[512];
        const ssize_t count = ::read(0, buffer, sizeof buffer);
        if (count <= 0) {
            open = false;
            console << "console input ended; the board goes on\n";
            return true;
        }
        typed.append(buffer, static_cast<std::size_t>(count));
        for (std::size_t end; (end = typed.find('\n')) != std::string::npos; typed.erase(0, end + 1)) {
            if (!program.fromConsole(typed.substr(0, end), now)) return false;
        }
        return true;
    }

private:
    bool open = true;
    std::string typed;
};

// Carries out what the line gives now: its bytes, and the cable pulled or
// plugged in again. False when the board is to end.
bool sendDue(virtualboard::VirtualBoard& device, BoardProgram& program, bool& attached, Time now,
             std::ostream& console) {
    for (;;) {
        const PacedLine::Due due = program.takeDue(now);
        if (attached && !due.bytes.empty()) writeToHost(device.handle(), due.bytes, console);
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
    const sigset_t waitingMask = catchStopSignals();
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
        pollfd waits[2] = {{0, POLLIN, 0}, {device.handle(), POLLIN, 0}};
        pollfd* first = typing.isOpen() ? &waits[0] : &waits[1];
        const nfds_t count = static_cast<nfds_t>((typing.isOpen() ? 1 : 0) + (attached ? 1 : 0));
        timespec timeout{};
        if (wake) timeout = timeUntil(*wake, Clock::now());
        // Signals end the wait; while the board works they wait for it.
        if (::ppoll(first, count, wake ? &timeout : nullptr, &waitingMask) <= 0) continue;
        now = Clock::now();

        if (typing.isOpen() && waits[0].revents != 0 && !typing.read(program, now, console)) return;
        if (attached && (waits[1].revents & POLLIN)) {
            unsigned char buffer[256];
            const ssize_t n = ::read(device.handle(), buffer, sizeof buffer);
            if (n > 0) program.fromHost(Bytes(buffer, buffer + n), now);
        }
    }
    console << boost::format("ended by signal %1%\n") % static_cast<int>(stopSignal);
}

}  // namespace boardsim
