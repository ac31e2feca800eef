#include "board_actions.h"

namespace boardsim {

std::vector<FieldChange> handlingOf(const Position& before, const Move& move) {
    const Piece piece = before.at(move.from);
    std::vector<FieldChange> changes{{move.from, Piece::None}, {move.to, piece}};
    for (int square : move.captured) changes.push_back({square, Piece::None});
    if (move.promotes) changes.push_back({move.to, afterMove(before, move).at(move.to)});
    return changes;
}

std::vector<FieldChange> changesBetween(const Position& from, const Position& to) {
    std::vector<FieldChange> changes;
    for (int square = 1; square <= squareCount; ++square) {
        if (from.at(square) != Piece::None && from.at(square) != to.at(square)) changes.push_back({square, Piece::None});
    }
    for (int square = 1; square <= squareCount; ++square) {
        if (to.at(square) != Piece::None && from.at(square) != to.at(square)) changes.push_back({square, to.at(square)});
    }
    return changes;
}

}  // namespace boardsim
