#ifndef BOARDSIM_DRAUGHTS_NAMES_H
#define BOARDSIM_DRAUGHTS_NAMES_H

// boardsim plays by the draughts library's rules and speaks of its pieces,
// positions and moves by their short names; the library's functions are
// found through their arguments.

#include "draughts/notation.h"

namespace boardsim {

using draughts::Move;
using draughts::Piece;
using draughts::Position;
using draughts::Side;
using draughts::squareCount;

}  // namespace boardsim

#endif
