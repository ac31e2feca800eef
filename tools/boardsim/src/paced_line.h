#ifndef BOARDSIM_PACED_LINE_H
#define BOARDSIM_PACED_LINE_H

// The board's side of the serial line. A pseudo-terminal passes bytes at
// once, whatever the baud rate; a board at 9600 baud sends about one byte a
// millisecond, and hosts are to see that pace.

#include <chrono>
#include <deque>
#include <optional>

#include "board_frames.h"
#include "game_clock.h"

namespace boardsim {

class PacedLine {
public:
    // Ten bits a byte (start, eight data, stop) at 9600 baud.
    static constexpr std::chrono::nanoseconds byteTime{1041667};

    void send(const Bytes& bytes, Time now);
    // The bytes whose time has come.
    Bytes takeDue(Time now);
    std::optional<Time> nextDue() const;
    // Drops what waits: with no host on the line, a board's bytes are lost.
    void clear() { waiting.clear(); }

private:
    std::deque<unsigned char> waiting;
    std::chrono::steady_clock::time_point next{};
};

}  // namespace boardsim

#endif
