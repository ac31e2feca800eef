#include "action_schedule.h"

#include <algorithm>

namespace boardsim {

void ActionSchedule::add(const std::vector<Action>& added, Time now) {
    if (added.empty()) return;
    if (actions.empty()) next = std::max(now, lastDone + added.front().delay);
    actions.insert(actions.end(), added.begin(), added.end());
}

void ActionSchedule::release(Time now) {
    if (!held) return;
    held = false;
    if (!actions.empty()) next = now + actions.front().delay;
}

std::optional<Time> ActionSchedule::nextDue() const {
    if (held || actions.empty()) return std::nullopt;
    return next;
}

std::vector<ActionKind> ActionSchedule::takeDue(Time now) {
    std::vector<ActionKind> due;
    while (!held && !actions.empty() && next <= now) {
        due.push_back(actions.front().what);
        actions.pop_front();
        lastDone = next;
        if (!actions.empty()) next = lastDone + actions.front().delay;
    }
    return due;
}

}  // namespace boardsim
