#ifndef BOARDSIM_BOARD_DIAGRAM_H
#define BOARDSIM_BOARD_DIAGRAM_H

#include <string>

#include "draughts_names.h"

namespace boardsim {

// The board as ten lines of text, black's side on top, each piece shown by
// the letter the host sees for it (P K white, p k black) and each free dark
// square by '.', with the numbers of each row's squares at its right; then a
// line saying who is to move.
std::string diagramOf(const Position& position);

}  // namespace boardsim

#endif
