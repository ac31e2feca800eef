#ifndef BOARDIO_TESTS_MESSAGE_FRAMES_H
#define BOARDIO_TESTS_MESSAGE_FRAMES_H

// Frame buffers for message tests. Every buffer is exactly frameCapacity bytes
// on the heap, as the link hands it over, so AddressSanitizer reports any
// decoder that reads past byte 9999.

#include <initializer_list>
#include <string>
#include <vector>

#include "boardio/messages.h"

namespace frames {

using Frame = std::vector<unsigned char>;

// A frame whose size bytes say `size` (split in two 7-bit halves), with the
// payload from byte 3 on; the rest of the buffer is `fill`.
inline Frame make(unsigned char idByte, int size, std::initializer_list<unsigned char> payload,
                  unsigned char fill = 0) {
    Frame frame(krvEBLowLevel::frameCapacity, fill);
    frame[0] = idByte;
    frame[1] = static_cast<unsigned char>((size >> 7) & 0x7F);
    frame[2] = static_cast<unsigned char>(size & 0x7F);
    std::size_t i = 3;
    for (unsigned char byte : payload) frame[i++] = byte;
    return frame;
}

// A frame of the given size whose payload is `text`.
inline Frame withText(unsigned char idByte, const std::string& text) {
    Frame frame = make(idByte, static_cast<int>(text.size()) + 3, {});
    for (std::size_t i = 0; i < text.size(); ++i) frame[3 + i] = static_cast<unsigned char>(text[i]);
    return frame;
}

// The whole buffer filled with `fill` after a header whose size bytes say
// 16383, the largest size the two 7-bit bytes can carry.
inline Frame overlong(unsigned char idByte, unsigned char fill) {
    Frame frame(krvEBLowLevel::frameCapacity, fill);
    frame[0] = idByte;
    frame[1] = 0x7F;
    frame[2] = 0x7F;
    return frame;
}

// The dump of values as "%02x " each, with no line feeds.
inline std::string hex(std::initializer_list<int> values) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (int value : values) {
        out += digits[(value >> 4) & 0xF];
        out += digits[value & 0xF];
        out += ' ';
    }
    return out;
}

}  // namespace frames

#endif
