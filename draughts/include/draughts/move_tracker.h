#ifndef DRAUGHTS_MOVE_TRACKER_H
#define DRAUGHTS_MOVE_TRACKER_H

// The moves played on an electronic board, read from what its squares
// report: whole-board dumps and single square changes, in whatever order a
// person lifts and puts the pieces. It judges whole positions only, so the
// order of the hands does not matter: captured pieces taken off before or
// after the capturing piece lands, the landing squares of a long capture
// reported or not, a promoted man crowned at once, later or never.

#include <bitset>
#include <optional>
#include <string>
#include <vector>

#include "draughts/rules.h"

namespace draughts {

struct TrackerEvent {
    enum class Kind {
        NewGame,       // the board shows the start: a game begins (position: the start)
        Joined,        // the first position seen is no start: the game is taken up from it, either side to move
        Move,          // a move was played (move, notation; position: after it)
        TakeBack,      // the last move was undone, or replaced by the next Move event (position: before it)
        Unrecognised,  // the board shows a position that no legal move reaches; the tracker waits
        Resumed,       // after Unrecognised: the board is back at the last known position
    };
    Kind kind;
    Move move;             // Move, TakeBack
    std::string notation;  // Move, TakeBack: "32-28", "26x37x48"
    Position position;     // the game's position after the event
};

class MoveTracker {
public:
    enum class Status {
        NoBoard,       // nothing seen yet
        InPosition,    // the board shows the game's position
        MoveUnderway,  // pieces lifted, or a move on its way to one the position allows
        Unrecognised,  // waiting for the last known position, a legal move from it, or the start
    };

    explicit MoveTracker(Rules rules = Rules::International);

    // A board dump as the relay sends it: one letter a square, square 1
    // first ('.', 'P', 'K', 'p', 'k'). Any other length is no dump of this
    // board and changes nothing.
    std::vector<TrackerEvent> boardDump(const std::string& letters);
    // A square change as the relay sends it ("023P": square 23, letter P).
    // Changes before the first dump, or of squares off the board, change
    // nothing.
    std::vector<TrackerEvent> squareChange(int square, char letter);
    // The game stands at this position, its side to move known, with no
    // move to take back: a program that keeps the game itself (a virtual
    // board) says so, and the tracker judges the next dump or change from
    // there. A man on its far row counts as the king it is to become.
    void follow(const Position& game);

    // The game goes on from a position recorded elsewhere, with its side to
    // move: a watcher started again takes up the game its file holds. Only
    // when the board shows that position; false, changing nothing, when it
    // does not.
    bool takeUp(const Position& position);

    Status status() const { return state; }
    // The game's position: where the last recognised move left it.
    const Position& position() const { return known; }
    // False while the game was taken up from a position no move has yet
    // shown the side to move of.
    bool sideKnown() const { return knownSide; }
    // The side to move when it has no move left, which loses the game.
    std::optional<Side> sideWithoutMoves() const;

private:
    struct Reachable {
        Move move;
        Position after;
    };

    std::vector<TrackerEvent> judge();
    void setKnown(const Position& position, bool sideIsKnown);
    std::vector<Reachable> reachableFrom(const Position& position, bool sideIsKnown) const;
    bool underway(const Position& board) const;
    std::vector<TrackerEvent> moveTo(Reachable reached);
    TrackerEvent event(TrackerEvent::Kind kind) const;

    Rules rules;
    Status state = Status::NoBoard;
    bool seen = false;
    Position board = Position::empty();       // as the squares report it
    std::bitset<squareCount + 1> strange;     // squares showing a letter that is no draughts piece
    Position known = Position::empty();
    bool knownSide = true;
    bool settled = false;                     // a start or a recognised move has fixed the game
    std::vector<Reachable> fromKnown;
    struct Played {
        Position before;
        Reachable move;
        std::vector<Reachable> alternatives;  // every move of `before`
    };
    std::optional<Played> last;
};

}  // namespace draughts

#endif
