#include "paced_line.h"

#include <algorithm>

namespace boardsim {

void PacedLine::startIfIdle(Time now) {
    if (items.empty()) next = std::max(next, now);
}

void PacedLine::send(const Bytes& bytes, Kind kind, Time now) {
    if (bytes.empty()) return;
    startIfIdle(now);
    Item item{bytes, kind, std::nullopt};
    if (tearNext && kind != Kind::Noise) {
        item.bytes.resize(std::max<std::size_t>(1, bytes.size() / 2));
        tearNext = false;
    }
    waiting += item.bytes.size();
    items.push_back(std::move(item));
    if (kind == Kind::Answer) dropOldestAnswers();
}

void PacedLine::dropOldestAnswers() {
    // The front item may be half out; dropping the rest of it would tear it.
    auto candidate = items.begin() + (frontSent > 0 ? 1 : 0);
    while (waiting > waitingLimit) {
        candidate = std::find_if(candidate, items.end(), [](const Item& item) { return item.kind == Kind::Answer; });
        if (candidate == items.end()) return;
        waiting -= candidate->bytes.size();
        candidate = items.erase(candidate);
        ++dropped;
    }
}

void PacedLine::signal(LinkEvent event, Time now) {
    startIfIdle(now);
    items.push_back({{}, Kind::Report, event});
}

PacedLine::Due PacedLine::takeDue(Time now) {
    Due due;
    while (!items.empty() && next <= now) {
        Item& front = items.front();
        if (front.event) {
            due.then = front.event;
            items.pop_front();
            return due;
        }
        due.bytes.push_back(front.bytes[frontSent++]);
        --waiting;
        next += byteTime;
        if (frontSent == front.bytes.size()) {
            items.pop_front();
            frontSent = 0;
        }
    }
    return due;
}

std::optional<Time> PacedLine::nextDue() const {
    if (items.empty()) return std::nullopt;
    return next;
}

void PacedLine::clear() {
    items.erase(std::remove_if(items.begin(), items.end(), [](const Item& item) { return !item.event; }), items.end());
    frontSent = 0;
    waiting = 0;
}

}  // namespace boardsim
