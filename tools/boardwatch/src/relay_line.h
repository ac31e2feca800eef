#ifndef BOARDWATCH_RELAY_LINE_H
#define BOARDWATCH_RELAY_LINE_H

// What one line from the relay says: its replies, and the board's messages
// that a game watcher reads.

#include <string>

namespace boardwatch {

struct RelayLine {
    enum class Kind {
        Comment,       // "#..." (the greeting among them)
        Busy,          // "#busy: ...": the relay serves another program and lets this one go
        Connected,     // "CONN"
        Disconnected,  // "DISCONN"
        Refused,       // "ERROR": no board, or a request without one
        BoardDump,     // 50 piece letters, square 1 first
        SquareChange,  // "023P"
        ClockTimes,    // "01:23:45 - 00:59:07", or dashes when the clock has none
        LinkLost,      // "ERROR: 255 : 002 ..." and the other failures of the board's link
        LinkNoise,     // "ERROR: 255 : 020 ...", 021 and 012: bytes or commands lost, the link goes on
        Other,         // anything else (answers to requests this program does not make)
    };
    Kind kind = Kind::Other;
    std::string text;   // the line without a trailing carriage return, as valid UTF-8
    int square = 0;     // SquareChange
    char piece = '.';   // SquareChange: the letter as sent
};

// The relay's bytes are data: whatever they are, the line's text is valid
// UTF-8 (bytes that are not replaced by U+FFFD), so that it can go into
// JSON, the page and files.
RelayLine readRelayLine(std::string line);

}  // namespace boardwatch

#endif
