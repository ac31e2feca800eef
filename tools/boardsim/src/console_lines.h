#ifndef BOARDSIM_CONSOLE_LINES_H
#define BOARDSIM_CONSOLE_LINES_H

#include <string>
#include <string_view>

#include "board_program.h"

namespace boardsim {

// Cuts what is typed at the board's console into lines for the board. A
// line longer than a command can be (a stream without line feeds) is
// dropped up to its end, not kept; the carriage return of a Windows
// console's line end goes.
class ConsoleLines {
public:
    // False when the person asked to quit; what follows the quit is not
    // read.
    bool feed(std::string_view typed, BoardProgram& program, Time now);

private:
    bool dropping = false;  // the rest of a line too long
    std::string line;
};

}  // namespace boardsim

#endif
