// Any reports a board may give the move tracker: whole-board dumps and
// square changes in any order, of any squares (off the board too) and any
// letters (no piece's too). Whatever it is told, what the tracker says must
// be a game: the moves its events report, played by the rules from the
// start its events give, lead to the position it says the game is in.
//
// Input: records. A byte whose low three bits are 0 is a dump of the next
// 50 bytes, each a letter of ".PKpkx" (x: no piece's letter); any other is
// a square change of the next byte's square (0 to 63) and letter.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "draughts/fen.h"
#include "draughts/move_tracker.h"
#include "draughts/notation.h"
#include "require.h"

using namespace draughts;

namespace {

constexpr char letters[] = ".PKpkx";

// The game as the tracker's events tell it.
struct Told {
    std::optional<Position> start;
    bool sideKnown = true;
    std::vector<std::string> moves;

    Position end() const {
        const GameCheck check = checkGame(*start, moves);
        require(check.error.empty(), "every move reported is legal in its turn");
        return check.end;
    }

    void take(const TrackerEvent& event) {
        using Kind = TrackerEvent::Kind;
        switch (event.kind) {
            case Kind::NewGame:
                require(event.position == Position::start(), "a new game starts from the start");
                start = event.position;
                sideKnown = true;
                moves.clear();
                break;
            case Kind::Joined:
                start = event.position;
                sideKnown = false;
                moves.clear();
                break;
            case Kind::Move:
                require(start.has_value(), "a move comes in a game");
                if (!sideKnown) {
                    // The first move of a game taken up shows its side to move.
                    start->setToMove(opponentOf(event.position.toMove()));
                    sideKnown = true;
                }
                moves.push_back(event.notation);
                require(end() == event.position, "a move's position is where its moves lead");
                break;
            case Kind::TakeBack:
                require(!moves.empty(), "only a move played is taken back");
                moves.pop_back();
                require(end() == event.position, "a take-back's position is where the moves left lead");
                break;
            case Kind::Unrecognised:
            case Kind::Resumed:
                break;
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MoveTracker tracker;
    Told told;
    std::size_t at = 0;
    while (at < size) {
        const std::uint8_t kind = data[at++];
        std::vector<TrackerEvent> events;
        if ((kind & 7) == 0) {
            std::string dump;
            for (; dump.size() < squareCount && at < size; ++at) dump += letters[data[at] % (sizeof letters - 1)];
            events = tracker.boardDump(dump);
        } else {
            if (at + 2 > size) break;
            events = tracker.squareChange(data[at] % 64, static_cast<char>(data[at + 1]));
            at += 2;
        }
        for (const TrackerEvent& event : events) told.take(event);
        if (told.start) {
            require(tracker.position() == told.end(), "the tracker's position is where the game's moves lead");
            require(fenOf(tracker.position()).size() > 2, "the position has a FEN");
        }
        (void)tracker.sideWithoutMoves();
        require(tracker.status() != MoveTracker::Status::NoBoard || events.empty(), "no event before a board is seen");
    }
    return 0;
}
