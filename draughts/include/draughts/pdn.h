#ifndef DRAUGHTS_PDN_H
#define DRAUGHTS_PDN_H

// Games in PDN as they come from the web and from programs.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "draughts/position.h"

namespace draughts {

struct PdnGame {
    std::vector<std::pair<std::string, std::string>> tags;  // in file order
    std::vector<std::string> moves;  // move texts in order; numbers, comments, variations and "!?" removed
    std::string result;              // "2-0" "0-2" "1-1" "1-0" "0-1" "2-2" "0-0" "*", or empty
    std::optional<Position> start;   // from a [FEN "..."] tag
};

// Every game of a text: tags, movetext with move numbers ("1.", "12...",
// "1.32-28"), {comments}, ";" comments to the end of a line, variations in
// nested parentheses, NAGs ("$3") and the result that ends a game; a tag
// after moves starts a new game too. Words that are none of these are kept
// as moves, so that checking the game names them with their place. On a
// fault (an unclosed comment, tag or variation, a FEN tag that names no
// position) error says what and where, and the games before it are given.
std::vector<PdnGame> readPdn(const std::string& text, std::string& error);

// The value of the first tag of that name, or empty.
std::string tagOf(const PdnGame& game, const std::string& name);

// The position the game starts from: its FEN tag's, or the usual start.
Position startOf(const PdnGame& game);

// The game as PDN: its tags one a line, then its moves numbered (black's
// first move after a FEN with black to move as "1..."), then its result or
// "*".
std::string writePdn(const PdnGame& game);

}  // namespace draughts

#endif
