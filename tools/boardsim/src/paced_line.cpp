#include "paced_line.h"

#include <algorithm>

namespace boardsim {

void PacedLine::send(const Bytes& bytes, Time now) {
    if (waiting.empty()) next = std::max(next, now);
    waiting.insert(waiting.end(), bytes.begin(), bytes.end());
}

Bytes PacedLine::takeDue(Time now) {
    Bytes due;
    while (!waiting.empty() && next <= now) {
        due.push_back(waiting.front());
        waiting.pop_front();
        next += byteTime;
    }
    return due;
}

std::optional<Time> PacedLine::nextDue() const {
    if (waiting.empty()) return std::nullopt;
    return next;
}

}  // namespace boardsim
