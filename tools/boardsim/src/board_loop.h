#ifndef BOARDSIM_BOARD_LOOP_H
#define BOARDSIM_BOARD_LOOP_H

#include <ostream>

#include <virtualboard/virtual_board.h>

#include "board_program.h"

namespace boardsim {

// SIGTTIN and SIGPIPE: a board started in the background, or whose console
// has gone, goes on.
void ignoreConsoleSignals();

// SIGINT, SIGTERM and SIGHUP end runBoard from now on, within a moment,
// whatever the board is doing: each turn of its loop does a bounded amount
// of work. Before, a signal ends the program at once; call this before the
// device (and its link) is made, which the end of runBoard cleans up.
void catchStopSignals();

// Runs the board on its device until the person types quit or a signal
// ends it. Hosts may open and close the device as often as they like;
// standard input may end, and the board goes on.
void runBoard(virtualboard::VirtualBoard& device, BoardProgram& program, std::ostream& console);

}  // namespace boardsim

#endif
