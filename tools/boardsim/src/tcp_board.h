#ifndef BOARDSIM_TCP_BOARD_H
#define BOARDSIM_TCP_BOARD_H

#include <ostream>

#include "board_program.h"
#include "options.h"

namespace boardsim {

// Serves the board over TCP at address, to one host at a time, until the
// person types quit or a signal (SIGINT, SIGTERM, and SIGHUP or SIGBREAK)
// ends it. A host that connects while another has the board, or while the
// cable is pulled, is refused: its connection is closed at once, and the
// host that has the board notices nothing. Throws std::system_error, naming
// the address and why, when the board cannot listen there.
void serveOverTcp(const TcpAddress& address, BoardProgram& program, std::ostream& console);

}  // namespace boardsim

#endif
