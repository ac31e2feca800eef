#include "draughts/fen.h"

#include <algorithm>
#include <boost/algorithm/string.hpp>
#include <boost/format.hpp>
#include <cctype>
#include <string_view>
#include <utility>

#include "quoted_text.h"

namespace draughts {

namespace {

char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// A square's number: one or two digits.
std::optional<int> numberOf(std::string_view text) {
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return std::nullopt;
    }
    return std::stoi(std::string(text));
}

// The FEN itself, without what may surround it: spaces, a PDN tag, quotes,
// a closing dot.
std::string bare(std::string text) {
    text.erase(
        std::remove_if(text.begin(), text.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)); }),
        text.end());
    if (boost::istarts_with(text, "[FEN") && boost::ends_with(text, "]")) text = text.substr(4, text.size() - 5);
    boost::trim_if(text, boost::is_any_of("\""));
    if (boost::ends_with(text, ".")) text.pop_back();
    return text;
}

// Calls `take` with each field of `text` between separators, in order,
// until it returns false; what it returned last. Fields are views: a long
// text is not copied field by field.
template <typename Take>
bool eachField(std::string_view text, char separator, Take take) {
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        if (!take(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)))
            return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

// A man stands on its own far row only for the moment before it is crowned.
bool manOnFarRow(int square, Side side) { return side == Side::White ? square <= 5 : square > squareCount - 5; }

// One side's squares, as "31,32,K45" or "K1-5,31-50", put on the board.
bool readSquares(std::string_view list, Side side, Position& position, std::string& error) {
    return eachField(list, ',', [&](std::string_view item) {
        if (item.empty()) return true;
        const bool king = upper(item.front()) == 'K';
        if (king) item.remove_prefix(1);
        const std::size_t dash = item.find('-');
        const std::optional<int> first = numberOf(item.substr(0, dash));
        const std::optional<int> last = dash == std::string_view::npos ? first : numberOf(item.substr(dash + 1));
        if (!first || !last || *first < 1 || *last > squareCount || *first > *last) {
            error = (boost::format("'%1%' names no square from 1 to 50, nor a range of them") % shortened(item)).str();
            return false;
        }
        for (int square = *first; square <= *last; ++square) {
            if (position.at(square) != Piece::None) {
                error = (boost::format("square %1% is named twice") % square).str();
                return false;
            }
            if (!king && manOnFarRow(square, side)) {
                error = (boost::format("a %1% man on square %2%, its own far row (%3%), would have been crowned: "
                                       "write K%2%") %
                         nameOf(side) % square % (side == Side::White ? "1 to 5" : "46 to 50"))
                            .str();
                return false;
            }
            position.put(square, king ? kingOf(side) : manOf(side));
        }
        return true;
    });
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
    Position position = Position::empty();
    bool first = true;
    const bool read = eachField(fen, ':', [&](std::string_view field) {
        const char kind = field.empty() ? ' ' : upper(field[0]);
        if (std::exchange(first, false)) {
            if (field.size() == 1 && (kind == 'W' || kind == 'B')) {
                position.setToMove(kind == 'W' ? Side::White : Side::Black);
                return true;
            }
            error = (boost::format("'%1%' is no FEN: it starts with the side to move, W or B, as in W:W31-50:B1-20") %
                     shortened(text))
                        .str();
            return false;
        }
        if (kind == 'W' || kind == 'B') {
            return readSquares(field.substr(1), kind == 'W' ? Side::White : Side::Black, position, error);
        }
        // Move counters: nothing of the position.
        if ((kind == 'H' || kind == 'F') && field.find_first_not_of("0123456789", 1) == std::string_view::npos) {
            return true;
        }
        error = (boost::format("'%1%' in the FEN is neither W nor B followed by squares") % shortened(field)).str();
        return false;
    });
    if (!read) return std::nullopt;
    return position;
}

std::string fenOf(const Position& position) {
    return (boost::format("%1%:W%2%:B%3%") % (position.toMove() == Side::White ? 'W' : 'B') %
            squaresOf(position, Side::White) % squaresOf(position, Side::Black))
        .str();
}

}  // namespace draughts
