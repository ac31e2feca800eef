#ifndef VIRTUALBOARD_VIRTUAL_BOARD_H
#define VIRTUALBOARD_VIRTUAL_BOARD_H

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "virtualboard/board_frame.h"

namespace virtualboard {

// Plays the board's side of a serial line on a pseudo-terminal. The host
// opens portName() as if it were the board's serial port; the board reads
// what the host writes and writes frames back.
//
// With a link path, the board keeps a symbolic link pointed at its current
// device, so that unplug() followed by replug() looks to the host like a
// board that went away and came back under the same name.
class VirtualBoard {
public:
    explicit VirtualBoard(std::string linkPath = "");
    ~VirtualBoard();
    VirtualBoard(const VirtualBoard&) = delete;
    VirtualBoard& operator=(const VirtualBoard&) = delete;

    // The name a host opens: the link when there is one, else the device.
    std::string portName() const;
    // The pseudo-terminal's device path (/dev/pts/N); empty while unplugged.
    const std::string& devicePath() const { return device; }
    bool plugged() const { return master >= 0; }
    // The device side's descriptor, for a program that waits on it in a
    // poll loop of its own; -1 while unplugged.
    int handle() const { return master; }
    // Whether a host has the device open right now.
    bool hostAttached() const;
    // Waits until a host has the device open; false if none has by the
    // deadline.
    bool waitForHost(std::chrono::milliseconds timeout) const;

    // Writes bytes exactly as given.
    void writeBytes(const Bytes& bytes);
    // As writeBytes, but gives up when the host has not taken them all by
    // the deadline (a host that does not read); false then.
    bool writeBytesUntil(const Bytes& bytes, std::chrono::steady_clock::time_point deadline);
    // As writeBytesUntil, but says how many of the bytes the host took: a
    // writer that goes on after a deadline passed writes only the rest.
    std::size_t writeSome(const unsigned char* data, std::size_t size, std::chrono::steady_clock::time_point deadline);
    // Writes one frame: the id byte, the two 7-bit size bytes of
    // payload.size() + 3, then the payload.
    void writeFrame(unsigned char id, const Bytes& payload);
    // The bytes of such a frame.
    static Bytes frame(unsigned char id, const Bytes& payload);

    // Reads what the host wrote: returns as soon as count bytes have arrived,
    // or with what arrived by the deadline.
    Bytes read(std::size_t count, std::chrono::milliseconds timeout);
    // Reads whatever the host writes until it has been quiet for quiet.
    Bytes readUntilQuiet(std::chrono::milliseconds quiet, std::chrono::milliseconds timeout);

    // The board goes away: the device and the link vanish, the host's reads
    // fail and opening the port fails until replug().
    void unplug();
    // The board comes back on a new device; the link is re-pointed at it.
    void replug();

private:
    void plug();
    void pointLinkAtDevice();
    // One read of at most most bytes; empty when nothing came by deadline.
    Bytes readSome(std::size_t most, std::chrono::steady_clock::time_point deadline);

    std::string link;
    std::string device;
    int master = -1;
};

}  // namespace virtualboard

#endif
