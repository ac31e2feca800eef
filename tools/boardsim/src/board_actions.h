#ifndef BOARDSIM_BOARD_ACTIONS_H
#define BOARDSIM_BOARD_ACTIONS_H

// What happens at the board, one thing after another: a person's hands on
// the pieces, the clock's keys, the cable and the line.

#include <chrono>
#include <string>
#include <variant>
#include <vector>

#include "console_command.h"
#include "draughts_names.h"
#include "paced_line.h"

namespace boardsim {

struct FieldChange {
    int square;
    Piece piece;         // Piece::None: the piece was lifted
    bool noted = false;  // said on the console: a change by hand alone
};
// A move's last change is made; the player presses the clock.
struct MoveMade {
    Move move;
    std::string notation;
};
struct MoveTakenBack {
    Side toMove;
};
struct PositionSetUp {
    Side toMove;
};
struct NoiseBurst {
    int count;
};
struct TearNextFrame {};
struct KeyPress {
    ClockKey key;
};
struct ShowBoard {};
struct Pause {};

using ActionKind = std::variant<FieldChange, MoveMade, MoveTakenBack, PositionSetUp, LinkEvent, NoiseBurst,
                                TearNextFrame, KeyPress, ShowBoard, Pause>;

struct Action {
    // Built in place: GCC 12 at -O2 takes a variant copied from a temporary
    // for one that may be used uninitialized.
    template <typename Kind>
    Action(std::chrono::milliseconds delay, Kind kind) : delay(delay), what(std::in_place_type<Kind>, std::move(kind)) {}

    std::chrono::milliseconds delay;  // after the action before it
    ActionKind what;
};

// The person lifts the moving piece, puts it on its target, lifts each
// captured piece in the order it was jumped, and crowns a man that has
// reached the far row by putting a second piece on it.
std::vector<FieldChange> handlingOf(const Position& before, const Move& move);

// The changes that turn the pieces of one position into those of another:
// first every piece lifted that goes or changes, then every piece put, each
// in the order of the squares.
std::vector<FieldChange> changesBetween(const Position& from, const Position& to);

}  // namespace boardsim

#endif
