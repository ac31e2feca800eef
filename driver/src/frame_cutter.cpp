#include "frame_cutter.h"

#include <algorithm>
#include <cstring>

namespace krvEBLowLevel {

namespace {

constexpr std::size_t headerSize = 3;

bool isId(unsigned char byte) { return (byte & 0x80) != 0; }

}  // namespace

FrameCutter::Step FrameCutter::take(const unsigned char* bytes, std::size_t count) {
    switch (current) {
        case Stage::id:
            if (!isId(bytes[0])) return {1, Made::strayByte};
            buffer[0] = bytes[0];
            held = 1;
            current = Stage::size;
            return {1, Made::nothing};
        case Stage::size: {
            const std::size_t used = std::min(count, headerSize - held);
            std::memcpy(buffer + held, bytes, used);
            held += used;
            if (held < headerSize) return {used, Made::nothing};
            return takeHeader(used);
        }
        case Stage::payload: {
            const std::size_t used = std::min(count, static_cast<std::size_t>(size) - held);
            std::memcpy(buffer + held, bytes, used);
            held += used;
            if (held < static_cast<std::size_t>(size)) return {used, Made::nothing};
            return frameDone(used);
        }
        case Stage::discard:
            break;
    }
    const std::size_t used = std::min(count, static_cast<std::size_t>(size) - headerSize - held);
    held += used;
    if (held == static_cast<std::size_t>(size) - headerSize) expectId();
    return {used, Made::nothing};
}

FrameCutter::Step FrameCutter::takeHeader(std::size_t used) {
    for (std::size_t next = 1; next < headerSize; ++next) {
        if (!isId(buffer[next])) continue;
        // Not a size the board sends but the next frame's id: start there.
        std::memmove(buffer, buffer + next, headerSize - next);
        held = headerSize - next;
        return {used, Made::badSize};
    }
    size = (buffer[1] << 7) | buffer[2];
    if (size < static_cast<int>(headerSize)) {
        expectId();
        return {used, Made::badSize};
    }
    if (size > frameCapacity) {
        // Larger than any frame we keep: skip its body as a whole rather
        // than report each of its bytes as a stray one.
        held = 0;
        current = Stage::discard;
        return {used, Made::badSize};
    }
    if (size == static_cast<int>(headerSize)) return frameDone(used);
    current = Stage::payload;
    return {used, Made::nothing};
}

FrameCutter::Step FrameCutter::frameDone(std::size_t used) {
    if (size < decoderReach) std::fill(buffer + size, buffer + decoderReach, 0);
    expectId();
    return {used, Made::frame};
}

void FrameCutter::expectId() {
    held = 0;
    current = Stage::id;
}

}  // namespace krvEBLowLevel
