#ifndef DRAUGHTS_BOARD_GEOMETRY_H
#define DRAUGHTS_BOARD_GEOMETRY_H

// Squares as rows and columns of the 10x10 board.

#include "draughts/position.h"

namespace draughts {

struct Cell {
    int row;     // 0 is the top (black) row
    int column;  // 0 is the left
};

// The dark squares of even rows lie in the odd columns.
inline Cell cellOf(int square) {
    const int index = square - 1;
    const int row = index / 5;
    return {row, 2 * (index % 5) + (row % 2 == 0 ? 1 : 0)};
}

// 0 for a cell off the board or a light square.
inline int squareAt(int row, int column) {
    if (row < 0 || row > 9 || column < 0 || column > 9 || (row + column) % 2 == 0) return 0;
    return row * 5 + column / 2 + 1;
}

inline bool onBoard(int square) { return square >= 1 && square <= squareCount; }

struct Direction {
    int row;
    int column;
};
constexpr Direction directions[4] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};

// The row direction in which a side's men move.
inline int forwardOf(Side side) { return side == Side::White ? -1 : 1; }

inline bool onFarRow(int square, Side side) { return side == Side::White ? square <= 5 : square > squareCount - 5; }

// The squares strictly between two squares of one diagonal, from `from`
// onward; empty, with onDiagonal false, when they share none.
struct Line {
    bool onDiagonal = false;
    int distance = 0;
    Direction direction{0, 0};
};
inline Line lineBetween(int from, int to) {
    const Cell a = cellOf(from), b = cellOf(to);
    const int rows = b.row - a.row, columns = b.column - a.column;
    if (rows == 0 || (rows != columns && rows != -columns)) return {};
    const int distance = rows > 0 ? rows : -rows;
    return {true, distance, {rows / distance, columns / distance}};
}
inline int squareAlong(int from, const Line& line, int step) {
    const Cell a = cellOf(from);
    return squareAt(a.row + step * line.direction.row, a.column + step * line.direction.column);
}

}  // namespace draughts

#endif
