#include "link_state.h"

#include <algorithm>

namespace krvEBLowLevel {

void LinkState::fail(Clock::time_point now) {
    if (current != Phase::open) return;
    current = Phase::failed;
    closedAt = now;
}

std::optional<LinkState::Clock::time_point> LinkState::reopenBy(Clock::time_point earliest) {
    const Clock::time_point wanted = std::max(earliest, closedAt + pause);
    if (current == Phase::reopening && wanted >= due) return std::nullopt;
    if (current != Phase::failed && current != Phase::reopening) return std::nullopt;
    current = Phase::reopening;
    due = wanted;
    return due;
}

bool LinkState::attempt() {
    if (current != Phase::reopening) return false;
    return ++attempts > attemptLimit;
}

void LinkState::opened() {
    if (current == Phase::reopening) current = Phase::open;
}

void LinkState::stillGone(Clock::time_point now) {
    if (current != Phase::reopening) return;
    current = Phase::failed;
    closedAt = now;
}

void LinkState::boardAnswered() { attempts = 0; }

}  // namespace krvEBLowLevel
