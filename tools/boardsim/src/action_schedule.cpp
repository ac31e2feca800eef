#include "move_schedule.h"

#include <algorithm>

namespace boardsim {

std::vector<FieldChange> handlingOf(const Position& before, const Move& move) {
    const Piece piece = before.at(move.from);
    std::vector<FieldChange> changes{{move.from, Piece::None}, {move.to, piece}};
    for (int square : move.captured) changes.push_back({square, Piece::None});
    if (move.promotes) changes.push_back({move.to, afterMove(before, move).at(move.to)});
    return changes;
}

void MoveSchedule::add(const Position& before, const Move& move, Time now) {
    if (steps.empty()) next = std::max(now, lastDone + thinking());
    const std::vector<FieldChange> changes = handlingOf(before, move);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        steps.push_back({changes[i], i + 1 == changes.size() ? std::optional<Move>(move) : std::nullopt});
    }
}

void MoveSchedule::release(Time now) {
    if (!held) return;
    held = false;
    next = now + thinking();
}

std::optional<Time> MoveSchedule::nextDue() const {
    if (held || steps.empty()) return std::nullopt;
    return next;
}

std::vector<MoveSchedule::Step> MoveSchedule::takeDue(Time now) {
    std::vector<Step> due;
    while (!held && !steps.empty() && next <= now) {
        due.push_back(steps.front());
        steps.pop_front();
        lastDone = next;
        next += due.back().completes ? thinking() : pace;
    }
    return due;
}

}  // namespace boardsim
