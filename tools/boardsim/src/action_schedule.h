#ifndef BOARDSIM_ACTION_SCHEDULE_H
#define BOARDSIM_ACTION_SCHEDULE_H

// The board's actions in the order they were given, each at its delay after
// the one before it: the same actions take the same time on every run.

#include <deque>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "board_actions.h"
#include "game_clock.h"

namespace boardsim {

// Commands that become actions only when their turn comes (a game, a
// script), so that a long list of them waits as its text, not as the many
// actions it makes.
class ActionSource {
public:
    virtual ~ActionSource() = default;
    // The actions of the next command that makes any; empty once there are
    // none left.
    virtual std::vector<Action> next() = 0;
};

class ActionSchedule {
public:
    // Actions given while others wait follow them; given to an idle
    // schedule, the first comes at its delay after the last action, or now
    // if that has passed.
    void add(std::vector<Action> actions, Time now);
    void add(std::unique_ptr<ActionSource> source, Time now);
    // While held, nothing falls due; release starts with the first waiting
    // action, at its delay from now.
    void hold() { held = true; }
    void release(Time now);
    bool isHeld() const { return held; }

    std::optional<Time> nextDue() const;
    // The first action, once its time has come.
    std::optional<ActionKind> takeDue(Time now);
    // The first action waits for the line: it comes now at the earliest,
    // and those after it keep their delays from it.
    void postpone(Time now);
    // Actions and sources given that have not come yet, each source counted
    // once.
    std::size_t waiting() const { return queue.size(); }

private:
    // Makes the actions of the sources at the front, until an action is.
    void expandFront();

    std::deque<std::variant<Action, std::unique_ptr<ActionSource>>> queue;
    Time next{};
    Time lastDone{};
    bool held = false;
};

}  // namespace boardsim

#endif
