#ifndef BOARDSIM_PACED_LINE_H
#define BOARDSIM_PACED_LINE_H

// The board's side of the serial line. A pseudo-terminal passes bytes at
// once, whatever the baud rate; a board at 9600 baud sends about one byte a
// millisecond, and hosts are to see that pace. What happens to the link
// (the cable pulled, plugged in again, the board switched off) takes its
// place among the bytes: it happens once the bytes before it have gone out.

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>

#include "board_frames.h"
#include "game_clock.h"

namespace boardsim {

enum class LinkEvent { Pull, Plug, End };

class PacedLine {
public:
    // Ten bits a byte (start, eight data, stop) at 9600 baud.
    static constexpr std::chrono::nanoseconds byteTime{1041667};
    // About four seconds of the line's time, twice the longest frame (the
    // stored moves). A host that asks faster than the line answers would
    // otherwise grow the queue without end.
    static constexpr std::size_t waitingLimit = 4096;

    enum class Kind {
        Report,  // what the board says of itself: never dropped
        Answer,  // to a request of the host: the oldest go when too many wait
        Noise,   // bytes that make no frame
    };
    void send(const Bytes& bytes, Kind kind, Time now);
    void signal(LinkEvent event, Time now);
    // The next frame sent (not noise) goes out torn: its first half only.
    void tearNextFrame() { tearNext = true; }

    // The bytes whose time has come, up to an event of the link whose time
    // has come too; the caller asks again after carrying that out.
    struct Due {
        Bytes bytes;
        std::optional<LinkEvent> then;
    };
    Due takeDue(Time now);
    std::optional<Time> nextDue() const;
    // Drops the bytes that wait: with no host on the line, a board's bytes
    // are lost. Events of the link still happen.
    void clear();

    std::uint64_t droppedAnswers() const { return dropped; }
    std::size_t waitingBytes() const { return waiting; }

private:
    struct Item {
        Bytes bytes;
        Kind kind = Kind::Report;
        std::optional<LinkEvent> event;
    };
    void startIfIdle(Time now);
    void dropOldestAnswers();

    std::deque<Item> items;
    std::size_t frontSent = 0;  // bytes of the front item already out
    std::size_t waiting = 0;    // bytes in items not yet out
    Time next{};
    bool tearNext = false;
    std::uint64_t dropped = 0;
};

}  // namespace boardsim

#endif
