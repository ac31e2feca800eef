#include <gtest/gtest.h>

#include "draughts/notation.h"
#include "test_positions.h"

namespace draughts {
namespace {

TEST(Notation, MalformedMovesAreRefusedWithTheUsualForms) {
    for (const char* text : {"32-", "-28", "26x37-48", "32-28-23", "032-28", "32", "32--28", "32-28x", "123-28", ""}) {
        std::string error;
        EXPECT_FALSE(parseMove(text, error)) << text;
        EXPECT_NE(error.find("is not a move: write a move as 32-28"), std::string::npos) << error;
    }
    std::string error;
    const std::optional<WrittenMove> capture = parseMove("26X37x48", error);
    ASSERT_TRUE(capture);
    EXPECT_EQ(capture->squares, (std::vector<int>{26, 37, 48}));
    EXPECT_TRUE(capture->capture);
}

struct NotationCase {
    const char* fen;
    const char* move;     // as checkMove takes it
    const char* written;  // as notationOf gives it
    Rules rules;
};

const NotationCase notationCases[] = {
    {"W:W31-50:B1-20", "32-28", "32-28", Rules::International},
    {"W:W26:B31,42", "26x37x48", "26x48", Rules::International},
    {"W:WK6:B8,11,29,34", "6x33x2", "6x33x24x2", Rules::International},
    {"W:WK6:B8,11,29,34", "6x39x2", "6x39x30x2", Rules::International},
    // Moves of the free rules are written as that rule's moves need.
    {"W:W29,32:B21,22,23", "29x18", "29x18", Rules::Free},
    {"W:W32:B17,18,27,28", "32x21x12", "32x21x12", Rules::Free},
    // One capture of the most pieces leads from 47 to 7; under free rules
    // 47x29x7 does too.
    {"B:W18,42,43,44:BK47", "47x38x49x40x7", "47x7", Rules::International},
    {"B:W18,42,43,44:BK47", "47x38x49x40x7", "47x38x49x40x7", Rules::Free},
};

TEST(Notation, NamesTheLandingSquaresOnlyWhereStartAndTargetFitTwoMoves) {
    for (const NotationCase& c : notationCases) {
        const Position position = positionOf(c.fen);
        std::string error;
        const MoveCheck check = checkMove(position, *parseMove(c.move, error), c.rules);
        ASSERT_TRUE(check.move) << c.move << ": " << check.error;
        EXPECT_EQ(notationOf(position, *check.move, c.rules), c.written) << c.move;
    }
}

TEST(Games, AreCheckedMoveByMoveAndNameTheFirstBadOne) {
    const GameCheck good = checkGame(Position::start(), {"32-28", "19-23", "28x19", "14x23"});
    EXPECT_EQ(good.error, "");
    EXPECT_EQ(good.moves.size(), 4u);
    EXPECT_EQ(fenOf(good.end), fenOf(positionOf("W:W31,33-50:B1-13,15-18,20,23")));

    const GameCheck bad = checkGame(Position::start(), {"32-28", "19-23", "28-22"});
    EXPECT_EQ(bad.error, "move 3 (28-22): a capture is due: 28x19");
    EXPECT_EQ(bad.moves.size(), 2u);
    EXPECT_EQ(bad.end, afterMove(afterMove(Position::start(), bad.moves[0]), bad.moves[1]));

    EXPECT_EQ(checkGame(Position::start(), {"32-28", "19-23", "28-22"}, Rules::Free).error, "");
    EXPECT_EQ(checkGame(Position::start(), {"32-28", "nonsense"}).error,
              "move 2 (nonsense): 'nonsense' is not a move: write a move as 32-28 and a capture as 28x19 or 26x37x48");
}

}  // namespace
}  // namespace draughts
