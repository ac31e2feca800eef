#ifndef BOARDSIM_BOARD_PROGRAM_H
#define BOARDSIM_BOARD_PROGRAM_H

// The virtual board without its ports: requests from the host, lines typed
// by the person at the console and the passing of time go in; the bytes for
// the line and the console text come out.

#include <cstdint>
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "move_schedule.h"
#include "paced_line.h"
#include "simulated_board.h"

namespace boardsim {

class BoardProgram {
public:
    // A game, if given, waits until the host switches updates on, so that
    // the host sees all of it; moves typed meanwhile follow it.
    BoardProgram(std::ostream& console, std::chrono::milliseconds pace, const std::vector<Move>& game, Time now);

    void fromHost(const Bytes& bytes, Time now);
    // False when the person asks to quit.
    bool fromConsole(const std::string& line, Time now);
    // Makes the changes whose time has come and gives the bytes to write.
    Bytes takeDue(Time now);
    std::optional<Time> nextDue() const;
    // No host has the line open: what the board sends now is lost.
    void hostAbsent() { line.clear(); }

private:
    void play(const std::vector<Move>& moves, Time now);
    void send(const std::vector<Bytes>& frames, Time now, PacedLine::Kind kind = PacedLine::Kind::Report);
    // At most once a notice interval, so that a flooding host cannot flood
    // the console too.
    void noteDroppedAnswers(Time now);

    std::ostream& console;
    SimulatedBoard board;
    MoveSchedule schedule;
    PacedLine line;
    RequestReader requests;
    Position game = Position::start();  // after every move accepted so far
    std::uint64_t notedDrops = 0;
    Time nextDropNote{};
    static constexpr std::chrono::seconds dropNoteInterval{1};
    // How each scheduled move is written: its notation depends on the
    // position before it, which the board has left behind once it is made.
    std::deque<std::string> notations;
};

}  // namespace boardsim

#endif
