#ifndef DRAUGHTS_FEN_H
#define DRAUGHTS_FEN_H

// Positions in the FEN of draughts: the side to move, then each side's
// squares, kings marked K: "W:W31,32,K45:B1,2,K7".

#include <optional>
#include <string>

#include "draughts/position.h"

namespace draughts {

// Takes what sites and programs write: ranges ("W:W31-50:B1-20", "BK1-3"),
// the two sides in either order, lower case, spaces, a trailing '.', the
// whole wrapped as a PDN tag ([FEN "..."]) and the move counters some add
// (":H0:F1", ignored). Empty with error when it names no position, or one
// no game reaches: a man on its own far row (a white man on 1 to 5, a black
// man on 46 to 50) would have been crowned.
std::optional<Position> parseFen(const std::string& text, std::string& error);

// One form for each position: white's squares then black's, in rising order,
// no ranges: "W:W31,32,K45:B1,2,K7".
std::string fenOf(const Position& position);

}  // namespace draughts

#endif
