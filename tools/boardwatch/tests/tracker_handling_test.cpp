// The move tracker against the changes boardsim makes for each kind of
// move, in the orders a person's hands may make them, and in random games.
#include <draughts/fen.h>
#include <draughts/move_tracker.h>
#include <draughts/notation.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "board_actions.h"
#include "test_positions.h"

namespace {

using namespace draughts;
using boardsim::FieldChange;
using boardsim::handlingOf;
using Changes = std::vector<FieldChange>;

std::string lettersOf(const Position& position) {
    std::string letters;
    for (int square = 1; square <= squareCount; ++square) letters += letterOf(position.at(square));
    return letters;
}

std::vector<std::string> feed(MoveTracker& tracker, const Changes& changes) {
    std::vector<std::string> said;
    for (const FieldChange& change : changes) {
        for (const TrackerEvent& event : tracker.squareChange(change.square, letterOf(change.piece))) {
            said.push_back(event.kind == TrackerEvent::Kind::Move ? event.notation : "event " + std::to_string(int(event.kind)));
        }
    }
    return said;
}

// boardsim's handling: lift, put, the captured pieces lifted in the order
// jumped, the crown; and the other orders of a person's hands.
struct Handling {
    const char* name;
    Changes (*reorder)(const Position& before, const Move& move, Changes changes);
};

const Handling handlings[] = {
    {"as boardsim makes it", [](const Position&, const Move&, Changes changes) { return changes; }},
    {"captured pieces taken first",
     [](const Position&, const Move& move, Changes changes) {
         std::stable_partition(changes.begin(), changes.end(), [&](const FieldChange& change) {
             return std::find(move.captured.begin(), move.captured.end(), change.square) != move.captured.end();
         });
         return changes;
     }},
    {"captured pieces taken last first",
     [](const Position&, const Move& move, Changes changes) {
         std::reverse(changes.begin() + 2, changes.begin() + 2 + static_cast<long>(move.captured.size()));
         return changes;
     }},
    {"put down on every landing square",
     [](const Position& before, const Move& move, Changes changes) {
         Changes landings;
         for (std::size_t i = 0; i + 1 < move.path.size(); ++i) {
             landings.push_back({move.path[i], before.at(move.from)});
             landings.push_back({move.path[i], Piece::None});
         }
         changes.insert(changes.begin() + 1, landings.begin(), landings.end());
         return changes;
     }},
    {"crowned by lifting the man first",
     [](const Position&, const Move& move, Changes changes) {
         if (move.promotes) changes.insert(changes.end() - 1, FieldChange{move.to, Piece::None});
         return changes;
     }},
    {"crowned only after a dump",
     [](const Position&, const Move& move, Changes changes) {
         if (move.promotes) changes.pop_back();
         return changes;
     }},
};

struct MoveKind {
    const char* name;
    const char* fen;
    const char* move;  // as the notation writes it after this move
};

const MoveKind everyKindOfMove[] = {
                      MoveKind{"a step", "W:W32:B1", "32-28"},
                      MoveKind{"a black step", "B:W32:B19", "19-23"},
                      MoveKind{"a king's long step", "W:WK46:B3", "46-5"},
                      MoveKind{"a capture", "W:W28:B23", "28x19"},
                      MoveKind{"a capture backwards", "W:W19:B23", "19x28"},
                      MoveKind{"a capture of three", "W:W38:B33,23,12", "38x7"},
                      MoveKind{"a king's capture from afar", "W:WK46:B23,3", "46x14"},
                      MoveKind{"a king's capture of two", "W:WK46:B37,13", "46x8"},
                      MoveKind{"a promotion", "W:W6:B3", "6-1"},
                      MoveKind{"a black promotion", "B:W36:B44", "44-50"},
                      MoveKind{"a promotion by capture", "W:W12:B7", "12x1"},
                      MoveKind{"a capture over the far row", "W:W13:B9,10", "13x15"}};

TEST(Tracker, RecognisesEveryKindOfMoveWhateverTheOrderOfTheHands) {
    for (const MoveKind& kind : everyKindOfMove) {
        SCOPED_TRACE(kind.name);
        const Position before = positionOf(kind.fen);
        std::string error;
        const MoveCheck check = checkMove(before, *parseMove(kind.move, error));
        ASSERT_TRUE(check.move) << check.error;
        const Move& move = *check.move;
        const Position after = afterMove(before, move);
        for (const Handling& handling : handlings) {
            SCOPED_TRACE(handling.name);
            MoveTracker tracker;
            ASSERT_EQ(tracker.boardDump(lettersOf(before)).size(), 1u);
            EXPECT_EQ(feed(tracker, handling.reorder(before, move, handlingOf(before, move))),
                      std::vector<std::string>{kind.move});
            EXPECT_EQ(fenOf(tracker.position()), fenOf(after));
            EXPECT_EQ(tracker.status(), MoveTracker::Status::InPosition);
            // The board's own dump after the move, crowned or not, says nothing new.
            EXPECT_TRUE(tracker.boardDump(lettersOf(after)).empty());
        }
    }
}

// Seeded random games under the full rules, each move in a random order of
// the hands: captured pieces lifted at any point, landing squares shown or
// not, and now and then the board's dump after the move.
TEST(Tracker, FollowsRandomGamesPlayedInAnyOrder) {
    std::mt19937 random(20240501);
    for (int game = 0; game < 40; ++game) {
        MoveTracker tracker;
        Position position = Position::start();
        tracker.boardDump(lettersOf(position));
        for (int ply = 0; ply < 150; ++ply) {
            const std::vector<Move> moves = legalMoves(position);
            if (moves.empty()) {
                EXPECT_EQ(tracker.sideWithoutMoves(), position.toMove());
                break;
            }
            const Move& move = moves[random() % moves.size()];
            Changes all = handlingOf(position, move);
            Changes hands(all.begin(), all.begin() + 2);
            for (std::size_t i = 0; i < move.captured.size(); ++i) {
                hands.insert(hands.begin() + static_cast<long>(random() % (hands.size() + 1)), all[2 + i]);
            }
            if (move.path.size() > 1 && random() % 2) {
                const int landing = move.path[random() % (move.path.size() - 1)];
                const auto put = std::find_if(hands.begin(), hands.end(), [&](const FieldChange& c) { return c.square == move.from; });
                hands.insert(put + 1, {{landing, position.at(move.from)}, {landing, Piece::None}});
            }
            if (move.promotes) hands.push_back(all.back());
            const std::string written = notationOf(position, move);
            ASSERT_EQ(feed(tracker, hands), std::vector<std::string>{written}) << "game " << game << ", " << fenOf(position);
            position = afterMove(position, move);
            if (random() % 3 == 0) {
                EXPECT_TRUE(tracker.boardDump(lettersOf(position)).empty());
            }
        }
        EXPECT_EQ(fenOf(tracker.position()), fenOf(position)) << "game " << game;
    }
}

}  // namespace
