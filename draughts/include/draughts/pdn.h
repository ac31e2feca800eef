#ifndef DRAUGHTS_PDN_H
#define DRAUGHTS_PDN_H

// Games in PDN as they come from the web and from programs.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
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

// The games of a text, one at a time, so that a caller after one game of a
// large file keeps no other: tags, movetext with move numbers ("1.",
// "12...", "1.32-28"), {comments}, ";" comments to the end of a line,
// variations in nested parentheses, NAGs ("$3") and the result that ends a
// game; a tag after moves starts a new game too. Words that are none of
// these are kept as moves, so that checking the game names them with their
// place. A fault (an unclosed comment, tag or variation, a bracket or brace
// that closes nothing, a FEN tag that names no position, a game longer than
// any played) ends the reading, and error() says what and where.
class PdnReader {
public:
    // No game has come near these; a text past them is no game file.
    static constexpr std::size_t mostMoves = 100000;
    static constexpr std::size_t mostTags = 1000;

    // The text is read where it is: it must outlive the reader.
    explicit PdnReader(std::string_view text);

    // The next game; empty at the end of the text and at a fault.
    std::optional<PdnGame> next();
    // Reads past the next game without keeping it; false at the end of the
    // text and at a fault.
    bool skip();
    // Empty unless reading ended at a fault: "line 3: a ']' closes no tag".
    const std::string& error() const { return fault; }
    // The fault without its place, for a text of one line: "a ']' closes no
    // tag".
    const std::string& reason() const { return faultReason; }

private:
    bool readGame(PdnGame* game);
    bool fail(const std::string& what);
    bool skipSpace();
    bool skipPast(char end, const char* missing);
    bool skipVariation();
    std::string_view readWord();
    bool readTag(PdnGame* game);
    bool takeWord(std::string_view word, PdnGame* game, bool& ended);

    std::string_view text;
    std::size_t at = 0;
    int line = 1;
    std::size_t moves = 0;  // of the game being read
    std::size_t tags = 0;
    std::string fault;
    std::string faultReason;
};

// Every game of a text read with PdnReader; on a fault, error says what and
// where, and the games before it are given. For texts of a few games: a
// large file is better read a game at a time.
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
