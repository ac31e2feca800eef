#ifndef BOARDSIM_ACTION_SCHEDULE_H
#define BOARDSIM_ACTION_SCHEDULE_H

// The board's actions in the order they were given, each at its delay after
// the one before it: the same actions take the same time on every run.

#include <deque>
#include <optional>
#include <vector>

#include "board_actions.h"
#include "game_clock.h"

namespace boardsim {

class ActionSchedule {
public:
    // Actions given while others wait follow them; given to an idle
    // schedule, the first comes at its delay after the last action, or now
    // if that has passed.
    void add(const std::vector<Action>& actions, Time now);
    // While held, nothing falls due; release starts with the first waiting
    // action, at its delay from now.
    void hold() { held = true; }
    void release(Time now);
    bool isHeld() const { return held; }

    std::optional<Time> nextDue() const;
    std::vector<ActionKind> takeDue(Time now);

private:
    std::deque<Action> actions;
    Time next{};
    Time lastDone{};
    bool held = false;
};

}  // namespace boardsim

#endif
