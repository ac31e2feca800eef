// Placeholders until the rules and the notation move in.
#include "draughts/notation.h"

namespace draughts {

bool Move::operator==(const Move& other) const {
    return from == other.from && to == other.to && path == other.path && captured == other.captured &&
           promotes == other.promotes;
}
std::vector<Move> legalMoves(const Position&, Rules) { return {}; }
Position afterMove(Position position, const Move&) { return position; }
std::optional<WrittenMove> parseMove(const std::string&, std::string& error) {
    error = "not yet";
    return std::nullopt;
}
MoveCheck checkMove(const Position&, const WrittenMove&, Rules) { return {std::nullopt, "not yet"}; }
std::string notationOf(const Position&, const Move&) { return ""; }
GameCheck checkGame(const Position& start, const std::vector<std::string>&, Rules) { return {{}, start, "not yet"}; }

}  // namespace draughts
