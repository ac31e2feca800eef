// The rules and the notation, move by move: what the board lets a person
// play, and what a person's hands do on the board for it.
#include <gtest/gtest.h>

#include "draughts_rules.h"
#include "move_notation.h"
#include "move_schedule.h"

namespace {

using namespace boardsim;

constexpr Piece W = Piece::WhiteMan, WK = Piece::WhiteKing, B = Piece::BlackMan;

struct Board {
    std::vector<std::pair<int, Piece>> pieces;  // empty: the starting position
    Side toMove = Side::White;
};

Position positionOf(const Board& setup) {
    Position position = setup.pieces.empty() ? Position::start() : Position();
    for (const auto& [square, piece] : setup.pieces) position.put(square, piece);
    position.setToMove(setup.toMove);
    return position;
}

MoveCheck check(const Board& setup, const std::string& text) {
    std::string error;
    const std::optional<WrittenMove> written = parseMove(text, error);
    if (!written) return {std::nullopt, error};
    return checkMove(positionOf(setup), *written);
}

struct MoveCase {
    const char* name;
    Board setup;
    const char* move;
    const char* error;  // a part of the refusal; empty for a legal move
    std::vector<int> captured;
    bool promotes;
};

// Two capture paths from 32 to 12 take different pieces: over 27 and 17, or
// over 28 and 18.
const Board diamond{{{32, W}, {27, B}, {17, B}, {28, B}, {18, B}}};

const MoveCase moveCases[] = {
    {"white man steps forward", {}, "32-28", "", {}, false},
    {"black man steps forward", {{}, Side::Black}, "19-23", "", {}, false},
    {"man captures forward", {{{28, W}, {23, B}}}, "28x19", "", {23}, false},
    {"man captures backward", {{{23, W}, {28, B}}}, "23x32", "", {28}, false},
    {"double capture written in full", {{{26, W}, {31, B}, {42, B}}}, "26x37x48", "", {31, 42}, false},
    {"double capture with its path found", {{{26, W}, {31, B}, {42, B}}}, "26x48", "", {31, 42}, false},
    {"capture path named where two would do", diamond, "32x21x12", "", {27, 17}, false},
    {"king flies along a free diagonal", {{{46, WK}}}, "46-5", "", {}, false},
    {"king captures from afar and lands afar", {{{46, WK}, {28, B}}}, "46x14", "", {28}, false},
    {"man promotes on the far row", {{{6, W}}}, "6-1", "", {}, true},
    {"black man promotes on white's back row", {{{45, B}}, Side::Black}, "45-50", "", {}, true},
    {"capture that ends on the far row promotes", {{{12, W}, {7, B}}}, "12x1", "", {7}, true},
    {"king does not promote again", {{{6, WK}}}, "6-1", "", {}, false},

    {"no piece on the start square", {}, "28-23", "there is no piece on 28", {}, false},
    {"piece of the side not to move", {}, "19-23", "the piece on 19 is black's, and white is to move", {}, false},
    {"man steps backward", {{{28, W}}}, "28-32", "a man moves one square forward", {}, false},
    {"man steps two squares", {}, "32-23", "a man moves one square forward", {}, false},
    {"target off the diagonal", {}, "32-30", "32 and 30 are not on one diagonal", {}, false},
    {"target taken", {}, "37-32", "square 32 is taken", {}, false},
    {"king's way blocked", {{{46, WK}, {37, W}}}, "46-28", "blocked on 37", {}, false},
    {"simple move written as a capture", {}, "32x28", "no capture leads from 32 to 28", {}, false},
    {"capture over a piece of one's own", {{{26, W}, {31, B}, {42, W}}}, "26x37x48", "the piece on 42 is white's own", {},
     false},
    {"jump over an empty square", {{{26, W}, {42, B}}}, "26x37x48", "the jump from 26 to 37 takes no piece", {}, false},
    {"man jumps too far in a named path", {{{37, W}, {32, B}}}, "37x23x14", "a man jumps to the square just behind", {},
     false},
    {"capture without the jumped squares that two paths fit", diamond, "32x12", "more than one capture leads", {},
     false},
    {"square beyond the board", {}, "51-46", "there is no square 51", {}, false},
    {"malformed: no target", {}, "32-", "is not a move", {}, false},
    {"malformed: mixed separators", {}, "26x37-48", "is not a move", {}, false},
    {"malformed: three squares without a capture", {}, "32-28-23", "is not a move", {}, false},
    {"malformed: leading zero", {}, "032-28", "is not a move", {}, false},
};

void PrintTo(const MoveCase& c, std::ostream* out) { *out << c.move; }

class Moves : public ::testing::TestWithParam<MoveCase> {};

TEST_P(Moves, AreAllowedOrRefusedAsTheRulesSay) {
    const MoveCase& c = GetParam();
    const MoveCheck result = check(c.setup, c.move);
    if (*c.error != '\0') {
        EXPECT_FALSE(result.move);
        EXPECT_NE(result.error.find(c.error), std::string::npos) << result.error;
        return;
    }
    ASSERT_TRUE(result.move) << result.error;
    EXPECT_EQ(result.move->captured, c.captured);
    EXPECT_EQ(result.move->promotes, c.promotes);
}

INSTANTIATE_TEST_SUITE_P(Draughts, Moves, ::testing::ValuesIn(moveCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
});

TEST(Moves, AfterACaptureTheTakenPiecesAreGoneAndTheOtherSideMoves) {
    const Board setup{{{26, W}, {31, B}, {42, B}}};
    const Position after = afterMove(positionOf(setup), *check(setup, "26x48").move);
    EXPECT_EQ(after.at(48), W);
    for (int square : {26, 31, 42}) EXPECT_EQ(after.at(square), Piece::None) << square;
    EXPECT_EQ(after.toMove(), Side::Black);
}

TEST(Moves, APersonLiftsPutsLiftsTheTakenPiecesAndCrowns) {
    const Board setup{{{12, W}, {7, B}}};
    const std::vector<FieldChange> changes = handlingOf(positionOf(setup), *check(setup, "12x1").move);
    const std::vector<std::pair<int, Piece>> expected{{12, Piece::None}, {1, W}, {7, Piece::None}, {1, WK}};
    ASSERT_EQ(changes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(changes[i].square, expected[i].first) << i;
        EXPECT_EQ(changes[i].piece, expected[i].second) << i;
    }
}

TEST(Games, SkipMoveNumbersAndTheResult) {
    const std::vector<std::string> expected{"32-28", "19-23", "28x19", "14x23"};
    EXPECT_EQ(moveWords("1. 32-28 19-23\n2.28x19 14x23 2-0"), expected);
    EXPECT_EQ(moveWords("1...32-28 19-23 2. 28x19 14x23 *"), expected);
}

TEST(Games, AreCheckedMoveByMoveAndNameTheFirstBadOne) {
    const GameCheck good = checkGame(Position::start(), "32-28 19-23 28x19 14x23");
    EXPECT_EQ(good.error, "");
    EXPECT_EQ(good.moves.size(), 4u);
    EXPECT_EQ(good.end.at(23), B);
    EXPECT_EQ(good.end.at(19), Piece::None);

    const GameCheck bad = checkGame(Position::start(), "32-28 19-23 28-23");
    EXPECT_EQ(bad.error, "move 3 (28-23): square 23 is taken") << bad.error;
    EXPECT_EQ(bad.moves.size(), 2u);
}

}  // namespace
