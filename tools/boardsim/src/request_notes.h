#ifndef BOARDSIM_REQUEST_NOTES_H
#define BOARDSIM_REQUEST_NOTES_H

// What the console says of a host's requests. A host that asks at a
// program's pace gets a line for each; one that floods the board must not
// flood the console too: past a few lines a second the rest are counted,
// and one line sums them up when the second is over.

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "game_clock.h"

namespace boardsim {

class RequestNotes {
public:
    static constexpr std::size_t shownEachSecond = 5;

    explicit RequestNotes(std::ostream& console) : console(console) {}

    // kind: what the summary calls such notes ("reset", "unknown request");
    // line(): the whole note, with its line feed, made only when it is
    // shown.
    template <typename Line>
    void note(const char* kind, Time now, Line line) {
        if (shows(kind, now)) console << line();
    }
    // Sums up the second that is over, if notes were held back in it.
    void takeDue(Time now);
    std::optional<Time> nextDue() const;

private:
    // Whether a note of this kind is shown now; if not, it is counted.
    bool shows(const char* kind, Time now);

    std::ostream& console;
    Time secondEnds{};
    std::size_t shown = 0;
    std::vector<std::pair<const char*, std::size_t>> heldBack;  // in the order first met
};

}  // namespace boardsim

#endif
