// What a person's hands do on the board for a move.
#include <gtest/gtest.h>

#include "draughts/fen.h"
#include "board_actions.h"

namespace {

using namespace boardsim;

TEST(Handling, APersonLiftsPutsLiftsTheTakenPiecesAndCrowns) {
    std::string error;
    const Position before = *draughts::parseFen("W:W12:B7", error);
    const std::vector<FieldChange> changes = handlingOf(before, draughts::legalMoves(before).front());
    const std::vector<std::pair<int, Piece>> expected{
        {12, Piece::None}, {1, Piece::WhiteMan}, {7, Piece::None}, {1, Piece::WhiteKing}};
    ASSERT_EQ(changes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(changes[i].square, expected[i].first) << i;
        EXPECT_EQ(changes[i].piece, expected[i].second) << i;
    }
}

}  // namespace
