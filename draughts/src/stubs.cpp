// Placeholders until the rules, the notation, FEN and PDN move in.
#include "draughts/fen.h"
#include "draughts/notation.h"
#include "draughts/pdn.h"

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
std::optional<Position> parseFen(const std::string&, std::string& error) {
    error = "not yet";
    return std::nullopt;
}
std::string fenOf(const Position&) { return ""; }
std::vector<PdnGame> readPdn(const std::string&, std::string& error) {
    error = "not yet";
    return {};
}
std::string tagOf(const PdnGame&, const std::string&) { return ""; }
Position startOf(const PdnGame& game) { return game.start ? *game.start : Position::start(); }
std::string writePdn(const PdnGame&) { return ""; }

}  // namespace draughts
