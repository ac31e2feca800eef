#include "draughts_rules.h"

#include <algorithm>
#include <boost/format.hpp>
#include <cstdlib>
#include <set>

namespace boardsim {

namespace {

struct Cell {
    int row;
    int column;
};

// Row 0 is the top (black) row; the dark squares of even rows lie in the odd
// columns.
Cell cellOf(int square) {
    const int index = square - 1;
    const int row = index / 5;
    return {row, 2 * (index % 5) + (row % 2 == 0 ? 1 : 0)};
}

// 0 for a cell off the board or a light square.
int squareAt(int row, int column) {
    if (row < 0 || row > 9 || column < 0 || column > 9 || (row + column) % 2 == 0) return 0;
    return row * 5 + column / 2 + 1;
}

bool onBoard(int square) { return square >= 1 && square <= squareCount; }

int sign(int value) { return (value > 0) - (value < 0); }

const int directions[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};

Piece kingOf(Side side) { return side == Side::White ? Piece::WhiteKing : Piece::BlackKing; }

bool onFarRow(int square, Side side) { return side == Side::White ? square <= 5 : square > squareCount - 5; }

std::string text(const boost::format& format) { return format.str(); }

// What a jump needs to know besides the position: the moving piece has left
// its start square, and pieces it has jumped stay on the board until the
// move ends, so they block and cannot be jumped again.
struct Capturer {
    const Position& position;
    Side side;
    bool king;
    int origin;

    bool isFree(int square) const { return square == origin || position.at(square) == Piece::None; }
};

// The one piece a jump from a to b takes, or why it takes none.
int jumpedPiece(const Capturer& capturer, int from, int to, const std::vector<int>& captured, std::string& error) {
    const Cell a = cellOf(from), b = cellOf(to);
    const int distance = std::abs(b.row - a.row);
    if (distance == 0 || distance != std::abs(b.column - a.column)) {
        error = text(boost::format("%1% and %2% are not on one diagonal") % from % to);
        return 0;
    }
    const int rowStep = sign(b.row - a.row), columnStep = sign(b.column - a.column);
    int jumped = 0;
    for (int step = 1; step < distance; ++step) {
        const int square = squareAt(a.row + step * rowStep, a.column + step * columnStep);
        if (capturer.isFree(square)) continue;
        if (jumped != 0) {
            error = text(boost::format("the jump from %1% to %2% passes more than one piece") % from % to);
            return 0;
        }
        jumped = square;
    }
    if (jumped == 0) {
        error = text(boost::format("the jump from %1% to %2% takes no piece") % from % to);
    } else if (sideOf(capturer.position.at(jumped)) == capturer.side) {
        error = text(boost::format("the piece on %1% is %2%'s own") % jumped % nameOf(capturer.side));
    } else if (std::find(captured.begin(), captured.end(), jumped) != captured.end()) {
        error = text(boost::format("the piece on %1% is jumped twice") % jumped);
    } else if (!capturer.king && distance != 2) {
        error = text(boost::format("a man jumps to the square just behind the piece it takes, not from %1% to %2%") %
                     from % to);
    } else if (!capturer.isFree(to)) {
        error = text(boost::format("square %1% is taken") % to);
    } else {
        return jumped;
    }
    return 0;
}

// Every capture path from `at` onward that ends on target, as the pieces it
// takes.
void findCaptures(const Capturer& capturer, int at, int target, std::vector<int>& captured,
                  std::vector<std::vector<int>>& found) {
    const Cell cell = cellOf(at);
    for (const auto& direction : directions) {
        int row = cell.row + direction[0], column = cell.column + direction[1];
        if (capturer.king) {
            while (squareAt(row, column) != 0 && capturer.isFree(squareAt(row, column))) {
                row += direction[0];
                column += direction[1];
            }
        }
        const int jumped = squareAt(row, column);
        if (jumped == 0 || capturer.isFree(jumped) || sideOf(capturer.position.at(jumped)) == capturer.side ||
            std::find(captured.begin(), captured.end(), jumped) != captured.end()) {
            continue;
        }
        captured.push_back(jumped);
        for (row += direction[0], column += direction[1];
             squareAt(row, column) != 0 && capturer.isFree(squareAt(row, column));
             row += direction[0], column += direction[1]) {
            const int landing = squareAt(row, column);
            if (landing == target) found.push_back(captured);
            findCaptures(capturer, landing, target, captured, found);
            if (!capturer.king) break;
        }
        captured.pop_back();
    }
}

MoveCheck failure(std::string error) { return {std::nullopt, std::move(error)}; }

MoveCheck checkStep(const Position& position, int from, int to) {
    const Piece piece = position.at(from);
    const Cell a = cellOf(from), b = cellOf(to);
    const int distance = std::abs(b.row - a.row);
    if (position.at(to) != Piece::None) return failure(text(boost::format("square %1% is taken") % to));
    if (distance == 0 || distance != std::abs(b.column - a.column)) {
        return failure(text(boost::format("%1% and %2% are not on one diagonal") % from % to));
    }
    const int rowStep = sign(b.row - a.row), columnStep = sign(b.column - a.column);
    if (!isKing(piece)) {
        const int forward = position.toMove() == Side::White ? -1 : 1;
        if (distance != 1 || rowStep != forward) {
            return failure(text(boost::format("a man moves one square forward, not from %1% to %2%") % from % to));
        }
    }
    for (int step = 1; step < distance; ++step) {
        const int square = squareAt(a.row + step * rowStep, a.column + step * columnStep);
        if (position.at(square) != Piece::None) {
            return failure(text(boost::format("the way from %1% to %2% is blocked on %3%") % from % to % square));
        }
    }
    return {Move{from, to, {}, !isKing(piece) && onFarRow(to, position.toMove())}, ""};
}

MoveCheck checkCapture(const Position& position, const std::vector<int>& squares) {
    const int from = squares.front(), to = squares.back();
    const Capturer capturer{position, position.toMove(), isKing(position.at(from)), from};
    Move move{from, to, {}, false};
    if (squares.size() > 2) {
        for (std::size_t leg = 1; leg < squares.size(); ++leg) {
            std::string error;
            const int jumped = jumpedPiece(capturer, squares[leg - 1], squares[leg], move.captured, error);
            if (jumped == 0) return failure(error);
            move.captured.push_back(jumped);
        }
    } else {
        std::vector<int> captured;
        std::vector<std::vector<int>> found;
        findCaptures(capturer, from, to, captured, found);
        if (found.empty()) return failure(text(boost::format("no capture leads from %1% to %2%") % from % to));
        std::size_t most = 0;
        for (const auto& path : found) most = std::max(most, path.size());
        std::set<std::vector<int>> longest;
        for (const auto& path : found) {
            if (path.size() != most) continue;
            std::vector<int> pieces = path;
            std::sort(pieces.begin(), pieces.end());
            longest.insert(pieces);
            if (longest.size() == 1) move.captured = path;
        }
        if (longest.size() > 1) {
            return failure(text(boost::format("more than one capture leads from %1% to %2%: name the squares in "
                                              "between, as in %1%x..x%2%") %
                                from % to));
        }
    }
    move.promotes = !capturer.king && onFarRow(to, capturer.side);
    return {move, ""};
}

}  // namespace

bool isKing(Piece piece) { return piece == Piece::WhiteKing || piece == Piece::BlackKing; }

std::optional<Side> sideOf(Piece piece) {
    switch (piece) {
        case Piece::WhiteMan:
        case Piece::WhiteKing:
            return Side::White;
        case Piece::BlackMan:
        case Piece::BlackKing:
            return Side::Black;
        case Piece::None:
            break;
    }
    return std::nullopt;
}

Side opponentOf(Side side) { return side == Side::White ? Side::Black : Side::White; }

const char* nameOf(Side side) { return side == Side::White ? "white" : "black"; }

Position Position::start() {
    Position position;
    for (int square = 1; square <= 20; ++square) position.put(square, Piece::BlackMan);
    for (int square = 31; square <= squareCount; ++square) position.put(square, Piece::WhiteMan);
    return position;
}

Piece Position::at(int square) const { return onBoard(square) ? squares[square - 1] : Piece::None; }

void Position::put(int square, Piece piece) {
    if (onBoard(square)) squares[square - 1] = piece;
}

MoveCheck checkMove(const Position& position, const WrittenMove& written) {
    const std::vector<int>& squares = written.squares;
    if (squares.size() < 2) return failure("a move names at least a start and a target square");
    for (int square : squares) {
        if (!onBoard(square)) return failure(text(boost::format("there is no square %1%") % square));
    }
    const int from = squares.front();
    const std::optional<Side> owner = sideOf(position.at(from));
    if (!owner) return failure(text(boost::format("there is no piece on %1%") % from));
    if (*owner != position.toMove()) {
        return failure(text(boost::format("the piece on %1% is %2%'s, and %3% is to move") % from % nameOf(*owner) %
                            nameOf(position.toMove())));
    }
    if (written.capture) return checkCapture(position, squares);
    if (squares.size() != 2) return failure("a move without a capture names its start and target only");
    return checkStep(position, from, squares.back());
}

Position afterMove(Position position, const Move& move) {
    const Piece piece = position.at(move.from);
    position.put(move.from, Piece::None);
    for (int square : move.captured) position.put(square, Piece::None);
    position.put(move.to, move.promotes ? kingOf(*sideOf(piece)) : piece);
    position.setToMove(opponentOf(position.toMove()));
    return position;
}

}  // namespace boardsim
