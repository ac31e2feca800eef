#ifndef BOARDIO_SERIAL_MESSAGE_H
#define BOARDIO_SERIAL_MESSAGE_H

// What travels over the serial link inside the driver: frames received from
// the board and the interface that receives them.

#include <memory>
#include <string>

#include "boardio/messages.h"
#include "link_error.h"

namespace krvEBLowLevel {

// Id byte of the driver's own error frames (message type 127).
constexpr unsigned char errorFrameId = 0xFF;

// One frame received from the board: id byte, two 7-bit size bytes and the
// payload; the size counts the three header bytes.
struct krvSerialMessage {
    // Takes size - 3 payload bytes, size being the value of the two size
    // bytes. The reader admits only sizes of 3 to frameCapacity; any other
    // size is clamped to that range so that no copy leaves `frame`.
    krvSerialMessage(const unsigned char* sizeBytes, unsigned char id, const unsigned char* payload);

    unsigned char id;
    int size;
    // Zeroed past the frame's own size: several decoders read a fixed number
    // of bytes whatever the size, and must find defined values there.
    unsigned char frame[frameCapacity];
};

// Receives every frame of a link and everything that went wrong on it, on
// its event-loop thread. Observers are never deleted through this interface.
class SerialObserver {
public:
    virtual void update(std::shared_ptr<krvSerialMessage> message) = 0;
    // A read failure ends the link's reading; the port stays as it is, for
    // the observer to close.
    virtual void report(const LinkError& error) = 0;

protected:
    ~SerialObserver() = default;
};

// The error frame that reports `text` (at most its first 255 characters) as
// message type 127.
std::shared_ptr<krvSerialMessage> makeErrorFrame(const std::string& text);

}  // namespace krvEBLowLevel

#endif
