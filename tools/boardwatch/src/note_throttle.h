#ifndef BOARDWATCH_NOTE_THROTTLE_H
#define BOARDWATCH_NOTE_THROTTLE_H

// A console note that may come thousands of times a second (a failed
// accept while descriptors are used up, a connection beyond the cap) said
// at most once a second, with how often it came meanwhile.

#include <chrono>
#include <optional>
#include <string>

namespace boardwatch {

class NoteThrottle {
public:
    using Time = std::chrono::steady_clock::time_point;
    static constexpr std::chrono::seconds interval{1};

    // The line to say now, or nothing while the last was said less than
    // the interval ago.
    std::optional<std::string> take(const std::string& text, Time now) {
        if (said && now - *said < interval) {
            ++held;
            return std::nullopt;
        }
        said = now;
        const std::size_t before = held;
        held = 0;
        return before == 0 ? text : text + " (" + std::to_string(before) + " more since the last such line)";
    }

private:
    std::optional<Time> said;
    std::size_t held = 0;
};

}  // namespace boardwatch

#endif
