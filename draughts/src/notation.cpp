#include "draughts/notation.h"

#include <algorithm>
#include <boost/format.hpp>
#include <cctype>

#include "move_list.h"
#include "quoted_text.h"

namespace draughts {

namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// A capture of all twenty pieces lands on twenty squares after its first.
constexpr std::size_t mostSquares = 21;

}  // namespace

std::optional<WrittenMove> parseMove(const std::string& text, std::string& error) {
    WrittenMove move;
    char separator = 0;
    std::size_t at = 0;
    for (;;) {
        const std::size_t digits = at;
        while (at < text.size() && isDigit(text[at]) && at - digits < 3) ++at;
        // Squares have one or two digits; a leading zero is no square.
        const bool square = at > digits && at - digits <= 2 && text[digits] != '0';
        if (!square || move.squares.size() == mostSquares) break;
        move.squares.push_back(std::stoi(text.substr(digits, at - digits)));
        if (at == text.size()) {
            if (move.squares.size() < 2) break;
            move.capture = separator == 'x';
            if (!move.capture && move.squares.size() > 2) break;
            return move;
        }
        const char next = static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
        if ((next != '-' && next != 'x') || (separator != 0 && next != separator)) break;
        separator = next;
        ++at;
    }
    error = (boost::format("'%1%' is not a move: write a move as 32-28 and a capture as 28x19 or 26x37x48") %
             shortened(text))
                .str();
    return std::nullopt;
}

std::string fullNotationOf(const Move& move) {
    std::string text = std::to_string(move.from);
    for (int square : move.path) text += (move.isCapture() ? "x" : "-") + std::to_string(square);
    return text;
}

std::string notationOf(const Position& before, const Move& move, Rules rules) {
    if (!move.isCapture()) return (boost::format("%1%-%2%") % move.from % move.to).str();
    const auto same = [&move](const Move& other) { return sameEffect(other, move); };
    std::vector<Move> moves = legalMoves(before, rules);
    if (std::none_of(moves.begin(), moves.end(), same)) moves = legalMoves(before, Rules::Free);
    const auto sameEnds = [&move](const Move& other) {
        return other.isCapture() && other.from == move.from && other.to == move.to;
    };
    if (std::count_if(moves.begin(), moves.end(), sameEnds) > 1) return fullNotationOf(move);
    return (boost::format("%1%x%2%") % move.from % move.to).str();
}

}  // namespace draughts
