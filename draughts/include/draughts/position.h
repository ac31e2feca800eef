#ifndef DRAUGHTS_POSITION_H
#define DRAUGHTS_POSITION_H

// Draughts on the 10x10 board: what stands where and who is to move.
//
// Squares are numbered 1 to 50 as in the notation: 1 to 5 on the top row (the
// black side), 46 to 50 on the bottom row (the white side); white moves first
// and its men move up.

#include <array>
#include <optional>

namespace draughts {

constexpr int squareCount = 50;

enum class Piece { None, WhiteMan, WhiteKing, BlackMan, BlackKing };
enum class Side { White, Black };

bool isKing(Piece piece);
std::optional<Side> sideOf(Piece piece);
Side opponentOf(Side side);
const char* nameOf(Side side);  // "white" or "black"
Piece manOf(Side side);
Piece kingOf(Side side);

// The letters the relay shows for a square: P K white, p k black, '.' empty.
char letterOf(Piece piece);
std::optional<Piece> pieceOfLetter(char letter);

class Position {
public:
    // Men on 1 to 20 (black) and 31 to 50 (white); white to move.
    static Position start();
    // Nothing on the board; white to move.
    static Position empty() { return Position(); }

    // Squares out of 1 to 50 hold nothing and ignore put().
    Piece at(int square) const;
    void put(int square, Piece piece);
    Side toMove() const { return side; }
    void setToMove(Side next) { side = next; }

    bool operator==(const Position& other) const { return squares == other.squares && side == other.side; }
    bool operator!=(const Position& other) const { return !(*this == other); }

private:
    std::array<Piece, squareCount> squares{};
    Side side = Side::White;
};

}  // namespace draughts

#endif
