#include "draughts/position.h"

namespace draughts {

namespace {

bool onBoard(int square) { return square >= 1 && square <= squareCount; }

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

Piece manOf(Side side) { return side == Side::White ? Piece::WhiteMan : Piece::BlackMan; }

Piece kingOf(Side side) { return side == Side::White ? Piece::WhiteKing : Piece::BlackKing; }

char letterOf(Piece piece) {
    switch (piece) {
        case Piece::WhiteMan:
            return 'P';
        case Piece::WhiteKing:
            return 'K';
        case Piece::BlackMan:
            return 'p';
        case Piece::BlackKing:
            return 'k';
        case Piece::None:
            break;
    }
    return '.';
}

std::optional<Piece> pieceOfLetter(char letter) {
    for (Piece piece : {Piece::None, Piece::WhiteMan, Piece::WhiteKing, Piece::BlackMan, Piece::BlackKing}) {
        if (letterOf(piece) == letter) return piece;
    }
    return std::nullopt;
}

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

}  // namespace draughts
