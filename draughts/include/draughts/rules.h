#ifndef DRAUGHTS_RULES_H
#define DRAUGHTS_RULES_H

// Which moves a position allows, and where they lead.

#include <vector>

#include "draughts/position.h"

namespace draughts {

// A move the position allows.
struct Move {
    int from = 0;
    int to = 0;
    std::vector<int> path;      // every square it lands on after `from`, ending with `to`
    std::vector<int> captured;  // in the order they are jumped
    bool promotes = false;      // a man that ends on the far row

    bool isCapture() const { return !captured.empty(); }
    bool operator==(const Move& other) const;
    bool operator!=(const Move& other) const { return !(*this == other); }
};

enum class Rules {
    // Capture is compulsory, and only the captures that take the most pieces
    // (kings and men alike), made to their end, are allowed.
    International,
    // Any move the pieces' paths allow: no capture is due, and a capture may
    // stop after any jump.
    Free,
};

// Every move the side to move may make, each once: two ways of taking the
// same pieces to the same square are one move, since they leave the same
// position. Under both rules men step forward, capture forward and backward,
// and become kings only when a move ends on the far row; kings fly; pieces
// jumped stay on the board until the move ends, so none is jumped twice or
// passed over.
std::vector<Move> legalMoves(const Position& position, Rules rules = Rules::International);

// The position after a move the position allows; the other side is to move.
Position afterMove(Position position, const Move& move);

}  // namespace draughts

#endif
