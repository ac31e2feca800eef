#ifndef FUZZ_BOARDSIM_RUN_H
#define FUZZ_BOARDSIM_RUN_H

// boardsim's board program on a clock the fuzz target moves, with a host
// that reads everything while the cable is in and opens the port again once
// it is back: what the loop around it does, without a port.

#include <algorithm>
#include <chrono>
#include <sstream>
#include <string>

#include "board_program.h"
#include "require.h"

namespace fuzzing {

using namespace std::chrono_literals;

class BoardRun {
public:
    explicit BoardRun(const boardsim::BoardSettings& settings = {}) : program(console, settings, now) {}

    // Takes what falls due within span, in steps of at least 50 ms (the
    // line's bytes go out in batches, as from a loop that is late), at most
    // steps of them. False once the board has ended.
    bool run(std::chrono::milliseconds span, int steps = 400) {
        const boardsim::Time end = now + span;
        for (std::optional<boardsim::Time> due; !ended && steps-- > 0 && (due = program.nextDue()) && *due <= end;) {
            now = std::max(*due, now + 50ms);
            for (;;) {
                const boardsim::PacedLine::Due out = program.takeDue(now);
                if (!pulled) host.insert(host.end(), out.bytes.begin(), out.bytes.end());
                if (!out.then) break;
                if (*out.then == boardsim::LinkEvent::End) ended = true;
                if (ended) break;
                // The host reads nothing while the cable is out, and opens
                // the port again as soon as it is back.
                pulled = *out.then == boardsim::LinkEvent::Pull;
                if (pulled) program.hostAbsent();
                if (*out.then == boardsim::LinkEvent::Plug) program.hostOpened(now);
            }
            if (pulled) program.hostAbsent();
        }
        if (!ended) now = std::max(now, end);
        return !ended;
    }

    std::ostringstream console;
    boardsim::Time now = boardsim::Time{} + 1h;
    boardsim::BoardProgram program;
    boardsim::Bytes host;  // everything the host read
    bool pulled = false;
    bool ended = false;
};

}  // namespace fuzzing

#endif
