#ifndef BOARDIO_FRAME_CUTTER_H
#define BOARDIO_FRAME_CUTTER_H

#include <cstddef>

#include "boardio/messages.h"

namespace krvEBLowLevel {

// Cuts the board's byte stream into frames, without any I/O: the reader
// hands over the bytes as they came, in pieces of any size, and the cutter
// takes from them what the next frame, stray byte or bad header needs. A
// frame it keeps is copied once, into its own buffer, and read from there.
//
// Resynchronisation after a bad header: a size byte with bit 7 set can only
// be the id of the next frame, so that frame starts there. A header whose
// size is too small is dropped; one whose size is too large for a frame has
// its body skipped. Each bad header is reported once, each stray byte too:
// counting them into runs is the reader's business.
class FrameCutter {
public:
    // Which part of a frame the next byte belongs to; a failed read is
    // reported under the number of its part.
    enum class Stage { id, size, payload, discard };
    enum class Made {
        nothing,    // the bytes belong to a frame not yet whole
        frame,      // a frame is whole: frame() and frameSize()
        strayByte,  // the byte was no frame's start: dropped
        badSize,    // a header with a size no frame has: dropped
    };
    struct Step {
        std::size_t used;  // bytes taken, at least one
        Made made;
    };

    // The decoders of fixed layouts read this many bytes of any frame,
    // whatever its size: a shorter frame has zeros after it, so that they
    // find defined values there.
    static constexpr int decoderReach = 16;

    Stage stage() const { return current; }
    // Takes bytes from the front of `bytes` (count at least 1) up to the end
    // of the next thing they complete.
    Step take(const unsigned char* bytes, std::size_t count);
    // The frame the last step made, valid until the next take: its size is
    // 3 to frameCapacity.
    const unsigned char* frame() const { return buffer; }
    int frameSize() const { return size; }
    // Forgets the frame in hand: the bytes that follow come from a new port.
    void restart() { expectId(); }

private:
    Step takeHeader(std::size_t used);
    Step frameDone(std::size_t used);
    void expectId();

    Stage current = Stage::id;
    // Bytes held of the frame in hand, its header included; in the discard
    // stage, bytes of its body skipped.
    std::size_t held = 0;
    int size = 0;
    unsigned char buffer[frameCapacity] = {};
};

}  // namespace krvEBLowLevel

#endif
