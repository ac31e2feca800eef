#ifndef DRAUGHTS_MOVE_LIST_H
#define DRAUGHTS_MOVE_LIST_H

#include <string>
#include <vector>

#include "draughts/rules.h"

namespace draughts {

// The same start, target and pieces taken: the same position after it,
// whatever way the capture went.
bool sameEffect(const Move& a, const Move& b);

// The moves as legalMoves gives them, but a capture once for each way it
// can go, so that a written path can be matched against every one.
std::vector<Move> everyPath(const Position& position, Rules rules);
// Each way of making a move but the first left out.
std::vector<Move> distinctMoves(std::vector<Move> paths);

// Every square it lands on: "26x37x48".
std::string fullNotationOf(const Move& move);

}  // namespace draughts

#endif
