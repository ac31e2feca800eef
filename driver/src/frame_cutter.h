#ifndef BOARDIO_FRAME_CUTTER_H
#define BOARDIO_FRAME_CUTTER_H

#include <cstddef>
#include <memory>

#include "serial_message.h"

namespace krvEBLowLevel {

// Cuts the board's byte stream into frames, without any I/O: the link puts
// the bytes it has read into the place asked for, at most as many as asked
// for, and hands them back; a frame may come in any number of pieces.
//
// Resynchronisation after a bad header: a size byte with bit 7 set can only
// be the id of the next frame, so that frame starts there. A header whose
// size is too small is dropped; one whose size is too large for a frame has
// its body read and discarded. Each bad header is reported once, each stray
// byte too: counting them into runs is the reader's business.
class FrameCutter {
public:
    // Which part of a frame the next read takes; a failed read is reported
    // under the number of its part.
    enum class Stage { id, size, payload, discard };

    // What the bytes just taken completed: at most one of the three is set.
    struct Outcome {
        std::shared_ptr<krvSerialMessage> frame;
        bool strayByte = false;  // the byte was no frame's start: dropped
        bool badSize = false;    // a header with a size no frame has: dropped
    };

    // Two 7-bit size bytes give at most this many bytes on the wire.
    static constexpr int largestWireFrame = 0x3FFF;

    Stage stage() const { return current; }
    // Where the next bytes go, and how many the part in hand still needs (at
    // least one).
    unsigned char* destination();
    std::size_t wanted() const;
    // Accounts for count bytes (1 to wanted()) just put into destination().
    Outcome take(std::size_t count);
    Outcome take() { return take(wanted()); }

private:
    Outcome takeHeader();
    std::shared_ptr<krvSerialMessage> frameInHand() const;
    void expectId();

    Stage current = Stage::id;
    unsigned char header[3] = {};
    std::size_t headerHeld = 0;
    int size = 0;
    std::size_t bodyHeld = 0;
    unsigned char body[largestWireFrame - 3] = {};
};

}  // namespace krvEBLowLevel

#endif
