#ifndef BOARDSIM_DRAUGHTS_RULES_H
#define BOARDSIM_DRAUGHTS_RULES_H

// Draughts on the 10x10 board: the position and which moves it allows. It
// knows nothing of the serial line; the board program turns its moves into
// the changes a person makes on the board.
//
// Squares are numbered 1 to 50 as in the notation: 1 to 5 on the top row (the
// black side), 46 to 50 on the bottom row (the white side); white moves first
// and its men move up.

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace boardsim {

constexpr int squareCount = 50;

enum class Piece { None, WhiteMan, WhiteKing, BlackMan, BlackKing };
enum class Side { White, Black };

bool isKing(Piece piece);
std::optional<Side> sideOf(Piece piece);
Side opponentOf(Side side);
const char* nameOf(Side side);  // "white" or "black"

class Position {
public:
    // Men on 1 to 20 (black) and 31 to 50 (white); white to move.
    static Position start();
    // Squares out of 1 to 50 hold nothing and ignore put().
    Piece at(int square) const;
    void put(int square, Piece piece);
    Side toMove() const { return side; }
    void setToMove(Side next) { side = next; }
    bool operator==(const Position& other) const { return squares == other.squares && side == other.side; }

private:
    std::array<Piece, squareCount> squares{};
    Side side = Side::White;
};

// A move as written: its squares in order and whether it was written as a
// capture. "26x37x48" gives {26, 37, 48} and a capture; "32-28" {32, 28}.
struct WrittenMove {
    std::vector<int> squares;
    bool capture = false;
};

// A move that the position allows.
struct Move {
    int from = 0;
    int to = 0;
    std::vector<int> captured;  // in the order they are jumped
    bool promotes = false;      // a man that ends on the far row
};

// Either the move the written one stands for, or why the position does not
// allow it.
struct MoveCheck {
    std::optional<Move> move;
    std::string error;
};

// Checks that the piece belongs to the side to move, that each step runs
// along a diagonal (men one square forward, kings any free distance), that
// the target is free and that each jump takes exactly one of the opponent's
// pieces. A capture written with its start and target only is completed
// with the path that takes the most pieces; two different such paths make it
// ambiguous. Taking the most pieces is not demanded of the player.
MoveCheck checkMove(const Position& position, const WrittenMove& written);

// The position after a move the position allows; the other side is to move.
Position afterMove(Position position, const Move& move);

}  // namespace boardsim

#endif
