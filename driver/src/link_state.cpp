#include "link_state.h"

#include <algorithm>
#include <utility>

namespace krvEBLowLevel {

std::shared_ptr<BoardPort> LinkState::fail(Clock::time_point now) {
    if (current != Phase::open) return nullptr;
    current = Phase::failed;
    closedAt = now;
    return std::exchange(openPort, nullptr);
}

std::optional<LinkState::Clock::time_point> LinkState::reopenBy(Clock::time_point earliest) {
    const Clock::time_point wanted = std::max(earliest, closedAt + pause);
    const Phase now = current;
    if (now == Phase::reopening && wanted >= due) return std::nullopt;
    if (now != Phase::failed && now != Phase::reopening) return std::nullopt;
    current = Phase::reopening;
    due = wanted;
    return due;
}

bool LinkState::attempt() {
    if (current != Phase::reopening) return false;
    return ++attempts > attemptLimit;
}

void LinkState::opened(std::shared_ptr<BoardPort> port) {
    if (current != Phase::reopening) return;
    openPort = std::move(port);
    current = Phase::open;
}

void LinkState::stillGone(Clock::time_point now) {
    if (current != Phase::reopening) return;
    current = Phase::failed;
    closedAt = now;
}

std::shared_ptr<BoardPort> LinkState::close() {
    current = Phase::closed;
    return std::exchange(openPort, nullptr);
}

}  // namespace krvEBLowLevel
