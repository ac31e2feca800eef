#include "counted_run.h"

#include <algorithm>

namespace krvEBLowLevel {

void CountedRun::add(std::size_t events, Clock::time_point now) {
    if (events == 0) return;
    if (count == 0) first = now;
    count += events;
    last = now;
}

CountedRun::Clock::time_point CountedRun::due() const {
    return std::min(last + timing.quiet, first + timing.longest);
}

std::size_t CountedRun::end() {
    const std::size_t length = count;
    count = 0;
    return length;
}

}  // namespace krvEBLowLevel
