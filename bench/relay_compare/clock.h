#ifndef RELAY_COMPARE_CLOCK_H
#define RELAY_COMPARE_CLOCK_H

#include <chrono>
#include <vector>

namespace relay_compare {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<unsigned char>;

inline double microsecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// What is left until deadline, rounded up to whole milliseconds for poll():
// rounding down would turn the last fraction of a millisecond into a busy loop.
inline int pollMilliseconds(Clock::time_point deadline) {
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

}  // namespace relay_compare

#endif
