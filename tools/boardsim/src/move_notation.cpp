#include "move_notation.h"

#include <boost/format.hpp>
#include <cctype>
#include <sstream>

namespace boardsim {

namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool isResult(const std::string& word) { return word == "2-0" || word == "0-2" || word == "1-1" || word == "*"; }

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
        if (!square) break;
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
    error = (boost::format("'%1%' is not a move: write a move as 32-28 and a capture as 28x19 or 26x37x48") % text)
                .str();
    return std::nullopt;
}

std::vector<std::string> moveWords(const std::string& text) {
    std::istringstream words(text);
    std::vector<std::string> moves;
    std::string word;
    while (words >> word) {
        std::size_t digits = 0;
        while (digits < word.size() && isDigit(word[digits])) ++digits;
        if (digits > 0 && digits < word.size() && word[digits] == '.') {
            word.erase(0, word.find_first_not_of('.', digits));
            if (word.empty()) continue;
        }
        moves.push_back(word);
    }
    if (!moves.empty() && isResult(moves.back())) moves.pop_back();
    return moves;
}

std::string notationOf(const Move& move) {
    return (boost::format("%1%%2%%3%") % move.from % (move.captured.empty() ? '-' : 'x') % move.to).str();
}

GameCheck checkGame(const Position& start, const std::string& text) {
    GameCheck game{{}, start, ""};
    int number = 0;
    for (const std::string& word : moveWords(text)) {
        ++number;
        std::string error;
        const std::optional<WrittenMove> written = parseMove(word, error);
        MoveCheck check;
        if (written) check = checkMove(game.end, *written);
        if (!written || !check.move) {
            game.error = (boost::format("move %1% (%2%): %3%") % number % word % (written ? check.error : error)).str();
            return game;
        }
        game.moves.push_back(*check.move);
        game.end = afterMove(game.end, *check.move);
    }
    return game;
}

}  // namespace boardsim
