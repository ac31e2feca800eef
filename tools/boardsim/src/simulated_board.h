#ifndef BOARDSIM_SIMULATED_BOARD_H
#define BOARDSIM_SIMULATED_BOARD_H

// The board's electronics: what its squares sense, its update mode, its
// clock and its memory of moves, and the frames it sends for each request of
// the host and each change a person makes.

#include <vector>

#include "board_frames.h"
#include "console_command.h"
#include "draughts_names.h"
#include "game_clock.h"
#include "request_notes.h"

namespace boardsim {

// Cuts the bytes from the host into requests: one command byte, or a whole
// clock command (its code, the count byte and as many bytes again).
class RequestReader {
public:
    std::vector<Bytes> feed(const Bytes& bytes);

private:
    Bytes pending;
};

class SimulatedBoard {
public:
    // The board keeps the last thousand moves, which it sends when asked;
    // a person can take back as many.
    static constexpr std::size_t movesKept = 1000;

    // What the host asks of the board and its clock (mode changes, the
    // clock's display) is told the person at the board through notes.
    SimulatedBoard(const Position& start, Time now, RequestNotes& notes);

    std::vector<Bytes> answer(const Bytes& request, Time now);
    // A person lifted a piece (Piece::None) or put one on a square.
    std::vector<Bytes> change(int square, Piece piece);
    // A person finished a move and pressed the clock.
    std::vector<Bytes> moveDone(const Move& move, Time now);
    // A person took the last move back, or set up a position: the board
    // forgets the move, or every move, and the clock runs for toMove.
    void moveTakenBack(Side toMove, Time now);
    void positionSetUp(Side toMove, Time now);
    // The clock's acknowledgement of a key pressed on it.
    std::vector<Bytes> keyPressed(ClockKey key);

    const Position& pieces() const { return board; }
    bool updatesOn() const { return updates != Updates::Off; }

private:
    enum class Updates { Off, Fields, Dumps, FieldsAndMoveDumps };

    std::vector<Bytes> answerClock(const Bytes& command, Time now);
    void switchUpdates(Updates mode, const char* description, Time now);

    void runClockFor(Side side, Time now);

    Position board;
    Updates updates = Updates::Off;
    GameClock clock;
    std::vector<Move> stored;
    RequestNotes& notes;
};

}  // namespace boardsim

#endif
