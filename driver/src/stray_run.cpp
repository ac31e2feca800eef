#include "stray_run.h"

#include <algorithm>

namespace krvEBLowLevel {

void StrayRun::add(std::size_t bytes, Clock::time_point now) {
    if (bytes == 0) return;
    if (count == 0) first = now;
    count += bytes;
    last = now;
}

StrayRun::Clock::time_point StrayRun::due() const { return std::min(last + quiet, first + longest); }

std::size_t StrayRun::end() {
    const std::size_t length = count;
    count = 0;
    return length;
}

}  // namespace krvEBLowLevel
