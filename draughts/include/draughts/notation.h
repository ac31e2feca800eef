#ifndef DRAUGHTS_NOTATION_H
#define DRAUGHTS_NOTATION_H

// Moves as players write them: square numbers joined by '-' for a move and by
// 'x' for a capture ("32-28", "28x19", "26x37x48", "26x48").

#include <optional>
#include <string>
#include <vector>

#include "draughts/rules.h"

namespace draughts {

// A move as written: its squares in order and whether it was written as a
// capture. "26x37x48" gives {26, 37, 48} and a capture; "32-28" {32, 28}.
struct WrittenMove {
    std::vector<int> squares;
    bool capture = false;
};

// One written move, or empty with error saying what is wrong with it.
std::optional<WrittenMove> parseMove(const std::string& text, std::string& error);

// Either the move the written one stands for, or why the position does not
// allow it.
struct MoveCheck {
    std::optional<Move> move;
    std::string error;
};

// The written move checked against the position's legal moves. A capture
// may leave out squares it lands on, as long as one move alone fits; the
// reasons for a refusal name the rule broken: the piece, the diagonal, a
// blocked way, a taken target, or the capture that is due instead.
MoveCheck checkMove(const Position& position, const WrittenMove& written, Rules rules = Rules::International);

// "32-28", "26x48"; with every square it lands on ("26x37x48") only when
// start and target alone fit more than one of the legal moves of `before`
// under the game's rules, so that checkMove under them reads it back as
// this move. A move those rules do not allow is written as under free rules.
std::string notationOf(const Position& before, const Move& move, Rules rules = Rules::International);

// Moves checked one after another from a position.
struct GameCheck {
    std::vector<Move> moves;  // the moves up to the first bad one
    Position end;             // the position after them
    std::string error;        // empty when every move was good: "move 3 (28-23): square 23 is taken"
};
GameCheck checkGame(const Position& start, const std::vector<std::string>& moves, Rules rules = Rules::International);

}  // namespace draughts

#endif
