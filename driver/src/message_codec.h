#ifndef BOARDIO_MESSAGE_CODEC_H
#define BOARDIO_MESSAGE_CODEC_H

// Helpers every message decoder shares: reading the frame header, bounding
// what is read by the frame buffer, and the hexadecimal dump layouts.

#include <algorithm>
#include <string>

#include "boardio/messages.h"

namespace krvEBLowLevel {
namespace codec {

// The frame size from bytes 1 and 2, each read as the 7-bit value the
// protocol defines (top bit ignored): 0 to 16383.
inline int decodeSize(const unsigned char* frame) { return ((frame[1] & 0x7F) << 7) | (frame[2] & 0x7F); }

// How many frame bytes may be read: the frame's own size, but never beyond
// the frame buffer (frameCapacity bytes), and never negative.
inline int readableSize(int size) { return std::max(0, std::min(size, frameCapacity)); }

// How many entries of an array of `capacity` hold frame bytes (0 to capacity).
inline int keptCount(int size, int capacity) { return std::max(0, std::min(size, capacity)); }

// A frame byte as a stored value: the byte with its top bit cleared.
inline short stored(unsigned char byte) { return static_cast<short>(byte & 0x7F); }

// Copies `count` frame bytes from byte 0 into `raw` as stored values.
void storeRaw(const unsigned char* frame, short* raw, int count);

// Copies frame bytes 3 to size-1 (at most `capacity` characters, never beyond
// the frame buffer) into `text` and ends it with NUL; empty below size 4.
// `text` must hold capacity + 1 characters.
void copyText(const unsigned char* frame, int size, char* text, int capacity);

// Appends one dumped value: "%1$02x " of the stored value.
void appendHexValue(std::string& out, short value);

// Where the hex dump layouts put their line feeds.
enum class LineFeeds {
    None,                       // all values on one line
    BeforeEveryEighth,          // before indices 0, 8, 16, ...
    BeforeEveryEighthButFirst,  // before indices 8, 16, ...
    AfterEveryEighth,           // after indices 0, 8, 16, ...
    AfterEveryEighthButFirst    // after indices 8, 16, ...
};

// Appends values[0 .. count-1] with the given line-feed layout.
void appendHexDump(std::string& out, const short* values, int count, LineFeeds lineFeeds);

// The MsgEEMoves layout: lines of eight values, each line led by "%1$04x: ".
void appendOffsetHexDump(std::string& out, const short* values, int count);

}  // namespace codec
}  // namespace krvEBLowLevel

#endif
