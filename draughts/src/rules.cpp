#include "draughts/rules.h"

#include <algorithm>

#include "board_geometry.h"
#include "move_list.h"

namespace draughts {

namespace {

// A capture under way: the moving piece has left its start square, and the
// pieces it has jumped stay on the board until it ends, so they block and
// cannot be jumped again.
struct CaptureSearch {
    const Position& position;
    Side side;
    bool king;
    bool everyJumpEnds;  // Free rules: a capture may stop after any jump
    std::vector<Move>& found;

    bool isFree(int square, const Move& move) const {
        return square == move.from || position.at(square) == Piece::None;
    }

    void record(Move move) const {
        move.to = move.path.back();
        move.promotes = !king && onFarRow(move.to, side);
        found.push_back(std::move(move));
    }

    void extend(Move& move, int at) const {
        const Cell cell = cellOf(at);
        bool extended = false;
        for (const Direction& direction : directions) {
            int row = cell.row + direction.row, column = cell.column + direction.column;
            while (king && squareAt(row, column) != 0 && isFree(squareAt(row, column), move)) {
                row += direction.row;
                column += direction.column;
            }
            const int jumped = squareAt(row, column);
            if (jumped == 0 || isFree(jumped, move) || sideOf(position.at(jumped)) == side ||
                std::find(move.captured.begin(), move.captured.end(), jumped) != move.captured.end()) {
                continue;
            }
            for (row += direction.row, column += direction.column;
                 squareAt(row, column) != 0 && isFree(squareAt(row, column), move);
                 row += direction.row, column += direction.column) {
                extended = true;
                move.path.push_back(squareAt(row, column));
                move.captured.push_back(jumped);
                if (everyJumpEnds) record(move);
                extend(move, move.path.back());
                move.path.pop_back();
                move.captured.pop_back();
                if (!king) break;
            }
        }
        if (!extended && !everyJumpEnds && !move.captured.empty()) record(move);
    }
};

void addSteps(const Position& position, int from, std::vector<Move>& found) {
    const Piece piece = position.at(from);
    const Side side = *sideOf(piece);
    const Cell cell = cellOf(from);
    for (const Direction& direction : directions) {
        if (!isKing(piece) && direction.row != forwardOf(side)) continue;
        for (int step = 1;; ++step) {
            const int to = squareAt(cell.row + step * direction.row, cell.column + step * direction.column);
            if (to == 0 || position.at(to) != Piece::None) break;
            found.push_back(Move{from, to, {to}, {}, !isKing(piece) && onFarRow(to, side)});
            if (!isKing(piece)) break;
        }
    }
}

}  // namespace

bool Move::operator==(const Move& other) const {
    return from == other.from && to == other.to && path == other.path && captured == other.captured &&
           promotes == other.promotes;
}

bool sameEffect(const Move& a, const Move& b) {
    if (a.from != b.from || a.to != b.to || a.captured.size() != b.captured.size()) return false;
    return std::is_permutation(a.captured.begin(), a.captured.end(), b.captured.begin());
}

std::vector<Move> everyPath(const Position& position, Rules rules) {
    const Side side = position.toMove();
    std::vector<Move> captures;
    for (int from = 1; from <= squareCount; ++from) {
        if (sideOf(position.at(from)) != side) continue;
        const CaptureSearch search{position, side, isKing(position.at(from)), rules == Rules::Free, captures};
        Move move{from, 0, {}, {}, false};
        search.extend(move, from);
    }
    if (rules == Rules::International && !captures.empty()) {
        std::size_t most = 0;
        for (const Move& move : captures) most = std::max(most, move.captured.size());
        captures.erase(std::remove_if(captures.begin(), captures.end(),
                                      [most](const Move& move) { return move.captured.size() < most; }),
                       captures.end());
        return captures;
    }
    std::vector<Move> moves = std::move(captures);
    for (int from = 1; from <= squareCount; ++from) {
        if (sideOf(position.at(from)) == side) addSteps(position, from, moves);
    }
    return moves;
}

std::vector<Move> distinctMoves(std::vector<Move> paths) {
    std::vector<Move> moves;
    for (Move& move : paths) {
        const auto same = [&move](const Move& kept) { return sameEffect(kept, move); };
        if (std::none_of(moves.begin(), moves.end(), same)) moves.push_back(std::move(move));
    }
    return moves;
}

std::vector<Move> legalMoves(const Position& position, Rules rules) { return distinctMoves(everyPath(position, rules)); }

Position afterMove(Position position, const Move& move) {
    const Piece piece = position.at(move.from);
    position.put(move.from, Piece::None);
    for (int square : move.captured) position.put(square, Piece::None);
    position.put(move.to, move.promotes ? kingOf(*sideOf(piece)) : piece);
    position.setToMove(opponentOf(position.toMove()));
    return position;
}

}  // namespace draughts
