// The rules of international draughts, and the free rules, move by move;
// every position is given in FEN.
#include <gtest/gtest.h>

#include <set>

#include "draughts/notation.h"
#include "test_positions.h"

namespace draughts {
namespace {

struct MoveCase {
    const char* name;
    const char* fen;
    const char* move;
    const char* error;  // a part of the refusal; empty for a legal move
    std::vector<int> captured;
    bool promotes;
    Rules rules;
};

constexpr Rules free = Rules::Free, international = Rules::International;
const char* const start = "W:W31-50:B1-20";
// Two ways of taking two pieces from 32 to 12; under the full rules the
// capture goes on round the square and takes all four, ending on 32.
const char* const diamond = "W:W32:B17,18,27,28";
// 32-28 is a move the man could make, but 29 has a capture of three due.
const char* const captureDue = "W:W29,32:B21,22,23";

const MoveCase moveCases[] = {
    {"white man steps forward", start, "32-28", "", {}, false, international},
    {"black man steps forward", "B:W31-50:B1-20", "19-23", "", {}, false, international},
    {"man captures forward", "W:W28:B23", "28x19", "", {23}, false, international},
    {"man captures backward", "W:W23:B28", "23x32", "", {28}, false, international},
    {"double capture written in full", "W:W26:B31,42", "26x37x48", "", {31, 42}, false, international},
    {"double capture with its path found", "W:W26:B31,42", "26x48", "", {31, 42}, false, international},
    {"capture round a square back to its start", diamond, "32x32", "", {27, 17, 18, 28}, false, international},
    {"capture that is due, in full", captureDue, "29x18x27x16", "", {23, 22, 21}, false, international},
    {"king flies along a free diagonal", "W:WK46", "46-5", "", {}, false, international},
    {"king captures from afar and lands afar", "W:WK46:B28", "46x14", "", {28}, false, international},
    {"king lands where the capture goes on", "W:WK46:B24,28", "46x19x35", "", {28, 24}, false, international},
    {"man promotes on the far row", "W:W6", "6-1", "", {}, true, international},
    {"black man promotes on white's back row", "B:B45", "45-50", "", {}, true, international},
    {"capture that ends on the far row promotes", "W:W12:B7", "12x1", "", {7}, true, international},
    {"man passing the far row in a capture stays a man", "W:W13:B7,8", "13x2x11", "", {8, 7}, false, international},
    {"king does not promote again", "W:WK6", "6-1", "", {}, false, international},
    {"capture written with a square of the way it lands on", "W:WK6:B8,11,29,34", "6x33x2", "", {11, 29, 8}, false,
     international},

    {"capture is due", captureDue, "32-28", "a capture is due: 29x18x27x16", {}, false, international},
    {"capture stopped before its end", captureDue, "29x18", "a capture of 3 pieces is due: 29x18x27x16", {}, false,
     international},
    {"kings and men count alike", "W:W28,36:B21,31,K23", "28x19", "a capture of 2 pieces is due: 36x27x16", {}, false,
     international},
    {"king must land where the capture goes on", "W:WK46:B24,28", "46x14", "a capture of 2 pieces is due: 46x19x30 or 46x19x35",
     {}, false, international},
    {"capture that fits two ways of taking different pieces", "W:WK6:B8,11,29,34", "6x2",
     "more than one capture leads from 6 to 2: write 6x33x24x2 or 6x39x30x2", {}, false, international},
    {"no piece on the start square", start, "28-23", "there is no piece on 28", {}, false, international},
    {"piece of the side not to move", start, "19-23", "the piece on 19 is black's, and white is to move", {}, false,
     international},
    {"man steps backward", "W:W28", "28-32", "a man moves one square forward", {}, false, international},
    {"man steps two squares", start, "32-23", "a man moves one square forward", {}, false, international},
    {"target off the diagonal", start, "32-30", "32 and 30 are not on one diagonal", {}, false, international},
    {"target off the diagonal and taken", "B:W50:B4", "4-50", "4 and 50 are not on one diagonal", {}, false,
     international},
    {"target taken", start, "37-32", "square 32 is taken", {}, false, international},
    {"king's way blocked", "W:WK46,37", "46-28", "blocked on 37", {}, false, international},
    {"capture written as a move", "W:W28:B23", "28-19", "28-19 is a capture: write 28x19", {}, false, international},
    {"move written as a capture", start, "32x28", "no capture leads from 32 to 28", {}, false, international},
    {"capture over a piece of one's own", "W:W26,42:B31", "26x37x48", "the piece on 42 is white's own", {}, false,
     international},
    {"jump over an empty square", "W:W26:B42", "26x37x48", "the jump from 26 to 37 takes no piece", {}, false,
     international},
    {"man jumps too far in a named path", "W:W37:B32", "37x23x14", "a man jumps to the square just behind", {}, false,
     international},
    {"square beyond the board", start, "51-46", "there is no square 51", {}, false, international},

    {"free: a move where a capture is due", captureDue, "32-28", "", {}, false, free},
    {"free: a capture stopped after a jump", captureDue, "29x18", "", {23}, false, free},
    {"free: the smaller capture", "W:W28,36:B21,31,K23", "28x19", "", {23}, false, free},
    {"free: men still step forward only", "W:W28", "28-32", "a man moves one square forward", {}, false, free},
    {"free: captured pieces still block", "W:WK32:B19,37", "32x46x28", "the piece on 37 is jumped twice", {}, false, free},
    {"free: two ways of taking different pieces", diamond, "32x12", "more than one capture leads", {}, false, free},
};

// One test for the whole table: a test program starts slowly under Wine.
TEST(Moves, AreAllowedOrRefusedAsTheRulesSay) {
    for (const MoveCase& c : moveCases) {
        SCOPED_TRACE(std::string(c.name) + ": " + c.fen + " " + c.move);
        std::string error;
        const std::optional<WrittenMove> written = parseMove(c.move, error);
        ASSERT_TRUE(written) << error;
        const Position position = positionOf(c.fen);
        const MoveCheck result = checkMove(position, *written, c.rules);
        if (*c.error != '\0') {
            EXPECT_FALSE(result.move);
            EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
            continue;
        }
        ASSERT_TRUE(result.move) << result.error;
        EXPECT_EQ(result.move->captured, c.captured);
        EXPECT_EQ(result.move->promotes, c.promotes);
        const std::vector<Move> legal = legalMoves(position, c.rules);
        EXPECT_NE(std::find(legal.begin(), legal.end(), *result.move), legal.end());
    }
}

struct MoveListCase {
    const char* name;
    const char* fen;
    std::set<std::string> moves;  // as notationOf writes them
};

const MoveListCase moveListCases[] = {
    {"the start", start,
     {"31-26", "31-27", "32-27", "32-28", "33-28", "33-29", "34-29", "34-30", "35-30"}},
    {"a king's landing squares are moves of their own", "W:WK46:B28", {"46x23", "46x19", "46x14", "46x10", "46x5"}},
    {"equal captures of a king and a man or of two men", "W:W28,36:B14,21,31,K23", {"28x10", "36x16"}},
    {"a captured piece is neither jumped again nor passed over", "W:WK32:B19,37", {"32x41", "32x46", "32x14", "32x10", "32x5"}},
    {"a way round that takes the same pieces is one move", diamond, {"32x32"}},
    {"no piece of the side to move", "B:W31", {}},
};

TEST(MoveLists, HoldEveryMoveOnce) {
    for (const MoveListCase& c : moveListCases) {
        SCOPED_TRACE(c.name);
        const Position position = positionOf(c.fen);
        std::multiset<std::string> found;
        for (const Move& move : legalMoves(position)) found.insert(notationOf(position, move));
        EXPECT_EQ(found, std::multiset<std::string>(c.moves.begin(), c.moves.end()));
    }
}

TEST(Moves, AfterACaptureTheTakenPiecesAreGoneAndTheOtherSideMoves) {
    const Position before = positionOf("W:W13:B7,8,40");
    const Position after = afterMove(before, legalMoves(before).front());
    EXPECT_EQ(fenOf(after), "B:W11:B40");
    const Position crowned = afterMove(positionOf("W:W12:B7"), legalMoves(positionOf("W:W12:B7")).front());
    EXPECT_EQ(fenOf(crowned), "B:WK1:B");
}

}  // namespace
}  // namespace draughts
