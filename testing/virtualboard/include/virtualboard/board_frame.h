#ifndef VIRTUALBOARD_BOARD_FRAME_H
#define VIRTUALBOARD_BOARD_FRAME_H

#include <algorithm>
#include <cstddef>
#include <vector>

namespace virtualboard {

using Bytes = std::vector<unsigned char>;

// A frame as the board sends it: the id byte, two 7-bit bytes of the
// frame's whole size (the three header bytes included), then the payload.
// Needs no port, so it serves on every system.
inline Bytes boardFrame(unsigned char id, const Bytes& payload) {
    const std::size_t size = payload.size() + 3;
    Bytes bytes(size);
    bytes[0] = id;
    bytes[1] = static_cast<unsigned char>((size >> 7) & 0x7F);
    bytes[2] = static_cast<unsigned char>(size & 0x7F);
    std::copy(payload.begin(), payload.end(), bytes.begin() + 3);
    return bytes;
}

}  // namespace virtualboard

#endif
