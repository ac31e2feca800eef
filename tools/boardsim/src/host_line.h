#ifndef BOARDSIM_HOST_LINE_H
#define BOARDSIM_HOST_LINE_H

#include <cstddef>
#include <ostream>

#include "board_program.h"

namespace boardsim {

// The board's end of the line to its host, whatever carries it (a
// pseudo-terminal, a TCP connection), as the loop around the board program
// drives it.
class HostLine {
public:
    virtual ~HostLine() = default;

    virtual bool hostAttached() const = 0;
    // Writes what the line takes at once and gives the number of bytes it
    // did not take: a board on a serial line does not wait for a host that
    // does not read, and what the line cannot take is lost.
    virtual std::size_t write(const Bytes& bytes) = 0;
    // The cable is pulled out: the host loses the board until plug().
    virtual void pull() = 0;
    // The cable is back; says on the console where the board is.
    virtual void plug(std::ostream& console) = 0;
};

// Carries out what the board program gives now: its bytes, and the cable
// pulled or plugged in again; what it sends while no host is there is
// dropped whole, so that a host arriving later gets no torn frame. False
// when the board is to end.
bool carryOutDue(HostLine& line, BoardProgram& program, Time now, std::ostream& console);

}  // namespace boardsim

#endif
