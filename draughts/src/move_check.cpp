#include <algorithm>
#include <boost/format.hpp>

#include "board_geometry.h"
#include "draughts/notation.h"
#include "move_list.h"
#include "quoted_text.h"

namespace draughts {

namespace {

std::string text(const boost::format& format) { return format.str(); }

MoveCheck failure(std::string error) { return {std::nullopt, std::move(error)}; }

// The squares written between start and target must be ones the move lands
// on, in their order; others it lands on may be left out.
bool fits(const Move& move, const WrittenMove& written) {
    const std::vector<int>& squares = written.squares;
    if (move.from != squares.front() || move.to != squares.back() || move.isCapture() != written.capture) return false;
    auto at = move.path.begin();
    const auto last = move.path.end() - 1;
    for (std::size_t i = 1; i + 1 < squares.size(); ++i) {
        at = std::find(at, last, squares[i]);
        if (at == last) return false;
        ++at;
    }
    return true;
}

// The legal moves the written one fits, each once however many of its ways
// fit.
std::vector<Move> fitting(const Position& position, const WrittenMove& written, Rules rules) {
    const std::vector<Move> paths = everyPath(position, rules);
    const std::vector<Move> legal = distinctMoves(paths);
    std::vector<Move> found;
    for (const Move& path : paths) {
        if (!fits(path, written)) continue;
        const auto same = [&path](const Move& move) { return sameEffect(move, path); };
        if (std::none_of(found.begin(), found.end(), same)) found.push_back(*std::find_if(legal.begin(), legal.end(), same));
    }
    return found;
}

std::string listOf(const std::vector<Move>& moves) {
    std::string list;
    for (const Move& move : moves) list += (list.empty() ? "" : " or ") + fullNotationOf(move);
    return list;
}

std::string stepRefusal(const Position& position, int from, int to) {
    const Line line = lineBetween(from, to);
    if (!line.onDiagonal) return text(boost::format("%1% and %2% are not on one diagonal") % from % to);
    const std::vector<Move> free = legalMoves(position, Rules::Free);
    if (std::any_of(free.begin(), free.end(),
                    [&](const Move& move) { return move.isCapture() && move.from == from && move.to == to; })) {
        return text(boost::format("%1%-%2% is a capture: write %1%x%2%") % from % to);
    }
    if (!isKing(position.at(from)) && (line.distance != 1 || line.direction.row != forwardOf(position.toMove()))) {
        return text(boost::format("a man moves one square forward, not from %1% to %2%") % from % to);
    }
    for (int step = 1; step < line.distance; ++step) {
        const int square = squareAlong(from, line, step);
        if (position.at(square) != Piece::None) {
            return text(boost::format("the way from %1% to %2% is blocked on %3%") % from % to % square);
        }
    }
    return text(boost::format("square %1% is taken") % to);
}

// Why the jump from `from` to `to` takes no piece, or empty when it takes
// one; the piece is added to `captured`.
std::string jumpRefusal(const Position& position, int origin, int from, int to, std::vector<int>& captured) {
    const Line line = lineBetween(from, to);
    if (!line.onDiagonal) return text(boost::format("%1% and %2% are not on one diagonal") % from % to);
    const auto isFree = [&](int square) { return square == origin || position.at(square) == Piece::None; };
    int jumped = 0;
    for (int step = 1; step < line.distance; ++step) {
        const int square = squareAlong(from, line, step);
        if (isFree(square)) continue;
        if (jumped != 0) return text(boost::format("the jump from %1% to %2% passes more than one piece") % from % to);
        jumped = square;
    }
    if (jumped == 0) return text(boost::format("the jump from %1% to %2% takes no piece") % from % to);
    if (sideOf(position.at(jumped)) == position.toMove()) {
        return text(boost::format("the piece on %1% is %2%'s own") % jumped % nameOf(position.toMove()));
    }
    if (std::find(captured.begin(), captured.end(), jumped) != captured.end()) {
        return text(boost::format("the piece on %1% is jumped twice") % jumped);
    }
    if (!isKing(position.at(origin)) && line.distance != 2) {
        return text(boost::format("a man jumps to the square just behind the piece it takes, not from %1% to %2%") %
                    from % to);
    }
    if (!isFree(to)) return text(boost::format("square %1% is taken") % to);
    captured.push_back(jumped);
    return "";
}

std::string captureRefusal(const Position& position, const std::vector<int>& squares) {
    if (squares.size() > 2) {
        std::vector<int> captured;
        for (std::size_t leg = 1; leg < squares.size(); ++leg) {
            const std::string refusal = jumpRefusal(position, squares.front(), squares[leg - 1], squares[leg], captured);
            if (!refusal.empty()) return refusal;
        }
    }
    return text(boost::format("no capture leads from %1% to %2%") % squares.front() % squares.back());
}

// The move is one the pieces' paths allow, but the rules want a capture,
// or a longer one.
std::string compulsionRefusal(const Position& position, const WrittenMove& written) {
    const std::vector<Move> due = legalMoves(position);
    if (!written.capture) return "a capture is due: " + listOf(due);
    const std::size_t most = due.front().captured.size();
    return text(boost::format("a capture of %1% pieces is due: %2%") % most % listOf(due));
}

}  // namespace

MoveCheck checkMove(const Position& position, const WrittenMove& written, Rules rules) {
    const std::vector<int>& squares = written.squares;
    if (squares.size() < 2) return failure("a move names at least a start and a target square");
    for (int square : squares) {
        if (!onBoard(square)) return failure(text(boost::format("there is no square %1%") % square));
    }
    const int from = squares.front(), to = squares.back();
    const std::optional<Side> owner = sideOf(position.at(from));
    if (!owner) return failure(text(boost::format("there is no piece on %1%") % from));
    if (*owner != position.toMove()) {
        return failure(text(boost::format("the piece on %1% is %2%'s, and %3% is to move") % from % nameOf(*owner) %
                            nameOf(position.toMove())));
    }
    const std::vector<Move> moves = fitting(position, written, rules);
    if (moves.size() == 1) return {moves.front(), ""};
    if (moves.size() > 1) {
        return failure(text(boost::format("more than one capture leads from %1% to %2%: write %3%") % from % to %
                            listOf(moves)));
    }
    if (rules == Rules::International && !fitting(position, written, Rules::Free).empty()) {
        return failure(compulsionRefusal(position, written));
    }
    return failure(written.capture ? captureRefusal(position, squares) : stepRefusal(position, from, to));
}

GameCheck checkGame(const Position& start, const std::vector<std::string>& moves, Rules rules) {
    GameCheck game{{}, start, ""};
    for (std::size_t i = 0; i < moves.size(); ++i) {
        std::string error;
        const std::optional<WrittenMove> written = parseMove(moves[i], error);
        const MoveCheck check = written ? checkMove(game.end, *written, rules) : MoveCheck{std::nullopt, error};
        if (!check.move) {
            game.error = text(boost::format("move %1% (%2%): %3%") % (i + 1) % shortened(moves[i]) % check.error);
            return game;
        }
        game.moves.push_back(*check.move);
        game.end = afterMove(game.end, *check.move);
    }
    return game;
}

}  // namespace draughts
