#include "draughts/fen.h"

#include <algorithm>
#include <boost/algorithm/string.hpp>
#include <boost/format.hpp>
#include <cctype>

namespace draughts {

namespace {

char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool isNumber(const std::string& text) {
    return !text.empty() && text.size() <= 2 && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

// The FEN itself, without what may surround it: spaces, a PDN tag, quotes,
// a closing dot.
std::string bare(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
               text.end());
    if (boost::istarts_with(text, "[FEN") && boost::ends_with(text, "]")) text = text.substr(4, text.size() - 5);
    boost::trim_if(text, boost::is_any_of("\""));
    if (boost::ends_with(text, ".")) text.pop_back();
    return text;
}

// One side's squares, as "31,32,K45" or "K1-5,31-50", put on the board.
bool readSquares(const std::string& list, Side side, Position& position, std::string& error) {
    std::vector<std::string> items;
    boost::split(items, list, boost::is_any_of(","));
    for (std::string item : items) {
        if (item.empty()) continue;
        const bool king = upper(item.front()) == 'K';
        if (king) item.erase(0, 1);
        const std::size_t dash = item.find('-');
        const std::string first = item.substr(0, dash), last = dash == std::string::npos ? first : item.substr(dash + 1);
        if (!isNumber(first) || !isNumber(last) || std::stoi(first) < 1 || std::stoi(last) > squareCount ||
            std::stoi(first) > std::stoi(last)) {
            error = (boost::format("'%1%' names no square from 1 to 50, nor a range of them") % item).str();
            return false;
        }
        for (int square = std::stoi(first); square <= std::stoi(last); ++square) {
            if (position.at(square) != Piece::None) {
                error = (boost::format("square %1% is named twice") % square).str();
                return false;
            }
            position.put(square, king ? kingOf(side) : manOf(side));
        }
    }
    return true;
}

std::string squaresOf(const Position& position, Side side) {
    std::string list;
    for (int square = 1; square <= squareCount; ++square) {
        const Piece piece = position.at(square);
        if (sideOf(piece) != side) continue;
        if (!list.empty()) list += ',';
        list += (isKing(piece) ? "K" : "") + std::to_string(square);
    }
    return list;
}

}  // namespace

std::optional<Position> parseFen(const std::string& text, std::string& error) {
    const std::string fen = bare(text);
    std::vector<std::string> fields;
    boost::split(fields, fen, boost::is_any_of(":"));
    Position position = Position::empty();
    const std::string& toMove = fields.front();
    if (toMove.size() != 1 || (upper(toMove[0]) != 'W' && upper(toMove[0]) != 'B')) {
        error = (boost::format("'%1%' is no FEN: it starts with the side to move, W or B, as in W:W31-50:B1-20") % text)
                    .str();
        return std::nullopt;
    }
    position.setToMove(upper(toMove[0]) == 'W' ? Side::White : Side::Black);
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const std::string& field = fields[i];
        const char kind = field.empty() ? ' ' : upper(field[0]);
        if (kind == 'W' || kind == 'B') {
            if (!readSquares(field.substr(1), kind == 'W' ? Side::White : Side::Black, position, error)) return std::nullopt;
        } else if ((kind == 'H' || kind == 'F') && field.find_first_not_of("0123456789", 1) == std::string::npos) {
            // Move counters: nothing of the position.
        } else {
            error = (boost::format("'%1%' in the FEN is neither W nor B followed by squares") % field).str();
            return std::nullopt;
        }
    }
    return position;
}

std::string fenOf(const Position& position) {
    return (boost::format("%1%:W%2%:B%3%") % (position.toMove() == Side::White ? 'W' : 'B') %
            squaresOf(position, Side::White) % squaresOf(position, Side::Black))
        .str();
}

}  // namespace draughts
