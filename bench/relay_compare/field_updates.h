#ifndef RELAY_COMPARE_FIELD_UPDATES_H
#define RELAY_COMPARE_FIELD_UPDATES_H

#include <string>

#include "clock.h"

namespace relay_compare {

// The frames the board sends in every measurement: field updates (id 0x8E,
// size 5, then the square and the piece code). The index-th one of a run
// names square 1 + index % 50 and piece code index / 50 % 16, so a line lost
// or out of order shows as a mismatch within 800 frames.
Bytes fieldUpdateFrame(long index);

// The relay's line for a field update frame, without the line feed: the
// square in three digits, then the piece's letter ("023P").
std::string fieldUpdateText(const Bytes& frame);

// The board's request for a board dump, as the relay writes it to the port.
constexpr unsigned char sendBoardByte = 0x42;

}  // namespace relay_compare

#endif
