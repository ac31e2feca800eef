#include "host_line.h"

namespace boardsim {

bool carryOutDue(HostLine& line, BoardProgram& program, Time now, std::ostream& console) {
    for (;;) {
        const PacedLine::Due due = program.takeDue(now);
        if (line.hostAttached() && !due.bytes.empty()) {
            const std::size_t lost = line.write(due.bytes);
            if (lost > 0) program.hostNotReading(lost, now);
        }
        if (!due.then) break;
        if (*due.then == LinkEvent::End) return false;
        if (*due.then == LinkEvent::Pull) line.pull();
        if (*due.then == LinkEvent::Plug) line.plug(console);
    }
    if (!line.hostAttached()) program.hostAbsent();
    return true;
}

}  // namespace boardsim
