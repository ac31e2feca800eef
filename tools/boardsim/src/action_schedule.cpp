#include "action_schedule.h"

#include <algorithm>

namespace boardsim {

void ActionSchedule::expandFront() {
    while (!queue.empty()) {
        auto* source = std::get_if<std::unique_ptr<ActionSource>>(&queue.front());
        if (source == nullptr) return;
        std::vector<Action> actions = (*source)->next();
        if (actions.empty()) {
            queue.pop_front();
            continue;
        }
        for (auto action = actions.rbegin(); action != actions.rend(); ++action)
            queue.emplace_front(std::move(*action));
    }
}

void ActionSchedule::add(std::vector<Action> actions, Time now) {
    if (actions.empty()) return;
    const bool idle = queue.empty();
    for (Action& action : actions) queue.emplace_back(std::move(action));
    if (idle) next = std::max(now, lastDone + std::get<Action>(queue.front()).delay);
}

void ActionSchedule::add(std::unique_ptr<ActionSource> source, Time now) {
    const bool idle = queue.empty();
    queue.emplace_back(std::move(source));
    if (!idle) return;
    expandFront();
    if (!queue.empty()) next = std::max(now, lastDone + std::get<Action>(queue.front()).delay);
}

void ActionSchedule::release(Time now) {
    if (!held) return;
    held = false;
    if (!queue.empty()) next = now + std::get<Action>(queue.front()).delay;
}

std::optional<Time> ActionSchedule::nextDue() const {
    if (held || queue.empty()) return std::nullopt;
    return next;
}

std::optional<ActionKind> ActionSchedule::takeDue(Time now) {
    if (held || queue.empty() || next > now) return std::nullopt;
    ActionKind due = std::move(std::get<Action>(queue.front()).what);
    queue.pop_front();
    lastDone = next;
    expandFront();
    if (!queue.empty()) next = lastDone + std::get<Action>(queue.front()).delay;
    return due;
}

void ActionSchedule::postpone(Time now) { next = std::max(next, now); }

}  // namespace boardsim
