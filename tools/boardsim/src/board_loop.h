#ifndef BOARDSIM_BOARD_LOOP_H
#define BOARDSIM_BOARD_LOOP_H

#include <ostream>

#include <virtualboard/virtual_board.h>

#include "board_program.h"

namespace boardsim {

// Runs the board on its device until the person types quit or a signal
// (SIGINT, SIGTERM, SIGHUP) ends it. Hosts may open and close the device as
// often as they like; standard input may end, and the board goes on.
void runBoard(virtualboard::VirtualBoard& device, BoardProgram& program, std::ostream& console);

}  // namespace boardsim

#endif
