#include <algorithm>
#include <boost/algorithm/string.hpp>
#include <boost/format.hpp>
#include <cctype>

#include "draughts/fen.h"
#include "draughts/pdn.h"

namespace draughts {

namespace {

bool isResult(std::string_view word) {
    static const char* const results[] = {"2-0", "0-2", "1-1", "1-0", "0-1", "2-2", "0-0", "1/2-1/2", "*"};
    return std::find(std::begin(results), std::end(results), word) != std::end(results);
}

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The movetext's own words without a move number before them ("12.",
// "12...", joined or not) or a judgement after them ("!", "?!").
std::string_view moveOf(std::string_view word) {
    const std::size_t digits = word.find_first_not_of("0123456789");
    if (digits != 0 && digits != std::string_view::npos && word[digits] == '.') {
        word.remove_prefix(std::min(word.find_first_not_of('.', digits), word.size()));
    }
    if (word.find_first_not_of('.') == std::string_view::npos) return {};
    while (!word.empty() && (word.back() == '!' || word.back() == '?')) word.remove_suffix(1);
    return word;
}

const char* const unclosedComment = "a comment that opens with '{' is not closed";

}  // namespace

PdnReader::PdnReader(std::string_view text) : text(text) {
    // Files saved by Windows programs often start with a UTF-8 mark.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") at = 3;
}

std::optional<PdnGame> PdnReader::next() {
    PdnGame game;
    if (!readGame(&game)) return std::nullopt;
    // No result in the movetext: the tag's, if it holds one.
    if (game.result.empty() && isResult(tagOf(game, "Result"))) game.result = tagOf(game, "Result");
    return game;
}

bool PdnReader::skip() { return readGame(nullptr); }

// Up to the result that ends the game, the tag that starts the next one or
// the end of the text; false when there was no game, or at a fault.
bool PdnReader::readGame(PdnGame* game) {
    moves = 0;
    tags = 0;
    while (fault.empty() && skipSpace()) {
        const char c = text[at];
        bool ok = true;
        if (c == '[') {
            // A tag after moves belongs to the next game.
            if (moves > 0) return true;
            ok = readTag(game);
        } else if (c == '{') {
            ok = skipPast('}', unclosedComment);
        } else if (c == ';') {
            ok = skipPast('\n', "");
        } else if (c == '(') {
            ok = skipVariation();
        } else if (c == ')' || c == ']' || c == '}') {
            // Each read would take nothing and find the same character again.
            ok = fail(c == ')'   ? "a ')' closes no variation"
                      : c == ']' ? "a ']' closes no tag"
                                 : "a '}' closes no comment");
        } else {
            // A word: it takes at least this character, which is none of the
            // above and no space.
            bool ended = false;
            ok = takeWord(readWord(), game, ended);
            if (ok && ended) return true;
        }
        if (!ok) return false;
    }
    return fault.empty() && (moves > 0 || tags > 0);
}

bool PdnReader::fail(const std::string& what) {
    faultReason = what;
    fault = (boost::format("line %1%: %2%") % line % what).str();
    return false;
}

bool PdnReader::skipSpace() {
    for (; at < text.size() && isSpace(text[at]); ++at) {
        if (text[at] == '\n') ++line;
    }
    return at < text.size();
}

// Up to and past `end`; when there is none, a fault unless `missing` is
// empty (a comment to the end of the line ends with the text).
bool PdnReader::skipPast(char end, const char* missing) {
    const std::size_t found = text.find(end, at + 1);
    const std::size_t stop = found == std::string_view::npos ? text.size() : found + 1;
    const int opened = line;
    line += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(at),
                                        text.begin() + static_cast<std::ptrdiff_t>(stop), '\n'));
    at = stop;
    if (found != std::string_view::npos || *missing == '\0') return true;
    line = opened;
    return fail(missing);
}

bool PdnReader::skipVariation() {
    const int opened = line;
    int depth = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == '{') {
            if (!skipPast('}', unclosedComment)) return false;
            continue;
        }
        if (c == '\n') ++line;
        ++at;
        if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth == 0) {
            return true;
        }
    }
    line = opened;
    return fail("a variation that opens with '(' is not closed");
}

std::string_view PdnReader::readWord() {
    const std::size_t start = at;
    while (at < text.size() && !isSpace(text[at]) &&
           std::string_view("[]{}();").find(text[at]) == std::string_view::npos) {
        ++at;
    }
    return text.substr(start, at - start);
}

bool PdnReader::takeWord(std::string_view word, PdnGame* game, bool& ended) {
    if (word.front() == '$') return true;  // a NAG
    const std::string_view move = moveOf(word);
    if (isResult(move)) {
        if (game != nullptr) game->result = std::string(move);
        ended = true;
        return true;
    }
    if (move.empty()) return true;
    if (++moves > mostMoves) return fail((boost::format("a game of more than %1% moves") % mostMoves).str());
    if (game != nullptr) game->moves.emplace_back(move);
    return true;
}

bool PdnReader::readTag(PdnGame* game) {
    if (++tags > mostTags) return fail((boost::format("a game with more than %1% tags") % mostTags).str());
    // A fault is named where the tag begins.
    const int opened = line;
    const auto badTag = [this, opened] {
        line = opened;
        return fail("a tag is written as [Name \"value\"]");
    };
    ++at;
    skipSpace();
    const std::string_view name = readWord();
    skipSpace();
    if (name.empty() || at == text.size() || text[at] != '"') return badTag();
    std::string value;
    for (++at; at < text.size() && text[at] != '"'; ++at) {
        if (text[at] == '\\' && at + 1 < text.size()) ++at;
        if (text[at] == '\n') ++line;
        value += text[at];
    }
    if (at == text.size()) {
        line = opened;
        return fail("a tag's value that opens with '\"' is not closed");
    }
    ++at;
    if (!skipSpace() || text[at] != ']') return badTag();
    ++at;
    if (boost::iequals(name, "FEN")) {
        std::string fenError;
        std::optional<Position> start = parseFen(value, fenError);
        if (!start) return fail("the FEN tag names no position: " + fenError);
        if (game != nullptr) game->start = start;
    }
    if (game != nullptr) game->tags.emplace_back(name, std::move(value));
    return true;
}

std::vector<PdnGame> readPdn(const std::string& text, std::string& error) {
    PdnReader reader(text);
    std::vector<PdnGame> games;
    while (std::optional<PdnGame> game = reader.next()) games.push_back(std::move(*game));
    error = reader.error();
    return games;
}

std::string tagOf(const PdnGame& game, const std::string& name) {
    for (const auto& [tag, value] : game.tags) {
        if (tag == name) return value;
    }
    return "";
}

Position startOf(const PdnGame& game) { return game.start ? *game.start : Position::start(); }

}  // namespace draughts
