#ifndef BOARDSIM_MOVE_NOTATION_H
#define BOARDSIM_MOVE_NOTATION_H

// Moves as players write them: square numbers joined by '-' for a move and by
// 'x' for a capture ("32-28", "28x19", "26x37x48", "26x48").

#include <optional>
#include <string>
#include <vector>

#include "draughts_rules.h"

namespace boardsim {

// One written move, or empty with error saying what is wrong with it.
std::optional<WrittenMove> parseMove(const std::string& text, std::string& error);

// The moves of a game text in order: move numbers ("1.", "12...", also
// joined to the move as in "1.32-28") and a closing result ("2-0", "1-1",
// "0-2", "*") are left out.
std::vector<std::string> moveWords(const std::string& text);

// A move as the notation writes it with its start and target: "32-28",
// "26x48".
std::string notationOf(const Move& move);

// Moves checked one after another from a position.
struct GameCheck {
    std::vector<Move> moves;  // the moves up to the first bad one
    Position end;             // the position after them
    std::string error;        // empty when every move was good
};
GameCheck checkGame(const Position& start, const std::string& text);

}  // namespace boardsim

#endif
