#include "frame_cutter.h"

#include <cstring>

namespace krvEBLowLevel {

namespace {

constexpr int headerSize = 3;

bool isId(unsigned char byte) { return (byte & 0x80) != 0; }

}  // namespace

unsigned char* FrameCutter::destination() {
    switch (current) {
        case Stage::id:
        case Stage::size:
            return header + headerHeld;
        case Stage::payload:
        case Stage::discard:
            break;
    }
    return body + bodyHeld;
}

std::size_t FrameCutter::wanted() const {
    switch (current) {
        case Stage::id:
            return 1;
        case Stage::size:
            return headerSize - headerHeld;
        case Stage::payload:
        case Stage::discard:
            break;
    }
    return static_cast<std::size_t>(size - headerSize) - bodyHeld;
}

FrameCutter::Outcome FrameCutter::take(std::size_t count) {
    Outcome outcome;
    if (count < wanted()) {
        // Part of what the part in hand needs: the rest comes later.
        if (current == Stage::size) {
            headerHeld += count;
        } else {
            bodyHeld += count;
        }
        return outcome;
    }
    switch (current) {
        case Stage::id:
            if (isId(header[0])) {
                headerHeld = 1;
                current = Stage::size;
            } else {
                outcome.strayByte = true;
            }
            return outcome;
        case Stage::size:
            return takeHeader();
        case Stage::payload:
            outcome.frame = frameInHand();
            break;
        case Stage::discard:
            break;
    }
    expectId();
    return outcome;
}

FrameCutter::Outcome FrameCutter::takeHeader() {
    Outcome outcome;
    headerHeld = headerSize;
    for (std::size_t next = 1; next < headerSize; ++next) {
        if (!isId(header[next])) continue;
        // Not a size the board sends but the next frame's id: start there.
        std::memmove(header, header + next, headerSize - next);
        headerHeld = headerSize - next;
        outcome.badSize = true;
        return outcome;
    }
    size = (header[1] << 7) | header[2];
    if (size < headerSize) {
        outcome.badSize = true;
        expectId();
    } else if (size > frameCapacity) {
        // Larger than any frame we keep: skip its body as a whole rather
        // than report each of its bytes as a stray one.
        outcome.badSize = true;
        bodyHeld = 0;
        current = Stage::discard;
    } else if (size == headerSize) {
        outcome.frame = frameInHand();
        expectId();
    } else {
        bodyHeld = 0;
        current = Stage::payload;
    }
    return outcome;
}

std::shared_ptr<krvSerialMessage> FrameCutter::frameInHand() const {
    return std::make_shared<krvSerialMessage>(header + 1, header[0], body);
}

void FrameCutter::expectId() {
    headerHeld = 0;
    current = Stage::id;
}

}  // namespace krvEBLowLevel
