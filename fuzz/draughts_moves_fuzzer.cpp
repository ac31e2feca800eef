// Moves as anyone may write them (a game file's, typed at boardsim's
// console), checked against positions of any pieces: each is taken or
// refused with a reason, under both rules. A move taken, written in its
// notation, is the same move again; a game checked stops at its first bad
// move and ends where its good ones lead.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "draughts/notation.h"
#include "require.h"

using namespace draughts;

namespace {

// A position from the input: each square one of the five pieces, men kept
// off their own far row as no game has them there.
Position positionOf(FuzzedDataProvider& input) {
    static const Piece pieces[] = {Piece::None, Piece::WhiteMan, Piece::WhiteKing, Piece::BlackMan, Piece::BlackKing};
    Position position = Position::empty();
    for (int square = 1; square <= squareCount; ++square) {
        Piece piece = input.PickValueInArray(pieces);
        if ((piece == Piece::WhiteMan && square <= 5) || (piece == Piece::BlackMan && square > squareCount - 5)) {
            piece = Piece::None;
        }
        position.put(square, piece);
    }
    position.setToMove(input.ConsumeBool() ? Side::White : Side::Black);
    return position;
}

void checkOne(const Position& position, const std::string& text, Rules rules) {
    std::string error;
    const std::optional<WrittenMove> written = parseMove(text, error);
    if (!written) {
        require(!error.empty() && error.size() < 300, "a text that is no move is refused, quoting little of it");
        return;
    }
    const MoveCheck check = checkMove(position, *written, rules);
    require(check.move.has_value() != !check.error.empty(), "a move is taken, or refused with a reason");
    if (!check.move) return;
    const std::string notation = notationOf(position, *check.move, rules);
    const std::optional<WrittenMove> again = parseMove(notation, error);
    require(again.has_value(), "a move's notation reads as a move");
    const MoveCheck same = checkMove(position, *again, rules);
    require(same.move && afterMove(position, *same.move) == afterMove(position, *check.move),
            "a move's notation is the same move");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool fromTheStart = input.ConsumeBool();
    const Position position = fromTheStart ? Position::start() : positionOf(input);
    std::vector<std::string> moves;
    while (input.remaining_bytes() > 0 && moves.size() < 64) moves.push_back(input.ConsumeRandomLengthString(80));
    for (const std::string& move : moves) {
        checkOne(position, move, Rules::International);
        checkOne(position, move, Rules::Free);
    }
    for (Rules rules : {Rules::International, Rules::Free}) {
        const GameCheck game = checkGame(position, moves, rules);
        require(game.error.empty() == (game.moves.size() == moves.size()), "a game stops at its first bad move");
        Position end = position;
        for (const Move& move : game.moves) end = afterMove(end, move);
        require(end == game.end, "a game ends where its moves lead");
    }
    return 0;
}
