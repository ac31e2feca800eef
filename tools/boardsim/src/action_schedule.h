#ifndef BOARDSIM_MOVE_SCHEDULE_H
#define BOARDSIM_MOVE_SCHEDULE_H

// Moves as a person makes them on the board: one change of a square after
// another, at a person's pace.

#include <chrono>
#include <deque>
#include <optional>
#include <vector>

#include "draughts_names.h"
#include "game_clock.h"

namespace boardsim {

struct FieldChange {
    int square;
    Piece piece;  // Piece::None: the piece was lifted
};

// The person lifts the moving piece, puts it on its target, lifts each
// captured piece in the order it was jumped, and crowns a man that has
// reached the far row by putting a second piece on it.
std::vector<FieldChange> handlingOf(const Position& before, const Move& move);

class MoveSchedule {
public:
    // pace: the time between two changes within a move; a move starts three
    // times that after the move before it ended, as a person looks first.
    explicit MoveSchedule(std::chrono::milliseconds pace) : pace(pace) {}

    void add(const Position& before, const Move& move, Time now);
    // While held, nothing falls due; release starts with the first waiting
    // move.
    void hold() { held = true; }
    void release(Time now);
    bool isHeld() const { return held; }

    struct Step {
        FieldChange change;
        std::optional<Move> completes;  // set on a move's last change
    };
    std::optional<Time> nextDue() const;
    std::vector<Step> takeDue(Time now);

private:
    std::chrono::milliseconds thinking() const { return 3 * pace; }

    std::chrono::milliseconds pace;
    std::deque<Step> steps;
    Time next{};
    Time lastDone{};
    bool held = false;
};

}  // namespace boardsim

#endif
