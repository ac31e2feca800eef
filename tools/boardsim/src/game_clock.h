#ifndef BOARDSIM_GAME_CLOCK_H
#define BOARDSIM_GAME_CLOCK_H

// The game clock beside the board: two times, of which the one of the side
// to move runs down, and a six-character display the host may write to.

#include <chrono>
#include <string>

#include "draughts_names.h"

namespace boardsim {

using Time = std::chrono::steady_clock::time_point;

struct ClockTime {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};

class GameClock {
public:
    // Both sides start with `each`; white's time runs.
    GameClock(std::chrono::seconds each, Time now);

    // Sets both times and runs the one of `running`.
    void set(std::chrono::seconds white, std::chrono::seconds black, Side running, Time now);
    // A player pressed the clock: from now on `running`'s time runs.
    void run(Side running, Time now);
    // What is left of a side's time; a time that has run out stays at 0.
    ClockTime left(Side side, Time now) const;

private:
    std::chrono::milliseconds remaining[2];
    Side runningSide = Side::White;
    Time since;
};

// The text the clock shows for the six display bytes of a display command,
// in the order they are sent (each half of the display right to left). A
// pattern several characters share shows as the first of digits, capital
// letters, small letters and signs; one no character has shows as '?'.
std::string displayText(const unsigned char* segments);

}  // namespace boardsim

#endif
