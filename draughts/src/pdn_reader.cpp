#include <algorithm>
#include <boost/algorithm/string.hpp>
#include <boost/format.hpp>
#include <cctype>

#include "draughts/fen.h"
#include "draughts/pdn.h"

namespace draughts {

namespace {

bool isResult(const std::string& word) {
    static const char* const results[] = {"2-0", "0-2", "1-1", "1-0", "0-1", "2-2", "0-0", "1/2-1/2", "*"};
    return std::find(std::begin(results), std::end(results), word) != std::end(results);
}

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

// The movetext's own words without a move number before them ("12.",
// "12...", joined or not) or a judgement after them ("!", "?!").
std::string moveOf(std::string word) {
    const std::size_t digits = word.find_first_not_of("0123456789");
    if (digits != 0 && digits != std::string::npos && word[digits] == '.') {
        word.erase(0, word.find_first_not_of('.', digits));
    }
    if (word.find_first_not_of('.') == std::string::npos) return "";
    while (!word.empty() && (word.back() == '!' || word.back() == '?')) word.pop_back();
    return word;
}

class PdnReader {
public:
    explicit PdnReader(const std::string& text) : text(text) {}

    std::vector<PdnGame> read(std::string& error) {
        // Files saved by Windows programs often start with a UTF-8 mark.
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) at = 3;
        while (skipSpace()) {
            const char c = text[at];
            const bool ok = c == '['   ? readTag()
                            : c == '{' ? skipPast('}', "a comment that opens with '{' is not closed")
                            : c == ';' ? skipPast('\n', "")
                            : c == '(' ? skipVariation()
                            : c == ')' ? fail("a ')' closes no variation")
                            : c == '$' ? (readWord(), true)
                                       : (takeWord(readWord()), true);
            if (!ok) {
                error = this->error;
                return games;
            }
        }
        if (!game.tags.empty() || !game.moves.empty()) endGame();
        return games;
    }

private:
    bool skipSpace() {
        while (at < text.size() && isSpace(text[at])) countLine(text[at++]);
        return at < text.size();
    }

    void countLine(char c) {
        if (c == '\n') ++line;
    }

    bool fail(const std::string& what) {
        error = (boost::format("line %1%: %2%") % line % what).str();
        return false;
    }

    // Up to and past `end`; when there is none, a fault unless `missing` is
    // empty (a comment to the end of the line ends with the text).
    bool skipPast(char end, const char* missing) {
        const int opened = line;
        for (++at; at < text.size(); ++at) {
            countLine(text[at]);
            if (text[at] == end) {
                ++at;
                return true;
            }
        }
        if (*missing == '\0') return true;
        line = opened;
        return fail(missing);
    }

    bool skipVariation() {
        const int opened = line;
        int depth = 0;
        for (; at < text.size(); ++at) {
            const char c = text[at];
            countLine(c);
            if (c == '{') {
                if (!skipPast('}', "a comment that opens with '{' is not closed")) return false;
                --at;
            } else if (c == '(') {
                ++depth;
            } else if (c == ')' && --depth == 0) {
                ++at;
                return true;
            }
        }
        line = opened;
        return fail("a variation that opens with '(' is not closed");
    }

    std::string readWord() {
        const std::size_t start = at;
        while (at < text.size() && !isSpace(text[at]) && std::string("[]{}();").find(text[at]) == std::string::npos) ++at;
        return text.substr(start, at - start);
    }

    void takeWord(const std::string& word) {
        const std::string move = moveOf(word);
        if (isResult(move)) {
            game.result = move;
            endGame();
        } else if (!move.empty()) {
            game.moves.push_back(move);
        }
    }

    bool readTag() {
        if (!game.moves.empty()) endGame();
        ++at;
        skipSpace();
        const std::string name = readWord();
        skipSpace();
        if (name.empty() || at == text.size() || text[at] != '"') return fail("a tag is written as [Name \"value\"]");
        std::string value;
        for (++at; at < text.size() && text[at] != '"'; ++at) {
            if (text[at] == '\\' && at + 1 < text.size()) ++at;
            countLine(text[at]);
            value += text[at];
        }
        ++at;
        if (!skipSpace() || text[at] != ']') return fail("a tag is written as [Name \"value\"]");
        ++at;
        if (boost::iequals(name, "FEN")) {
            std::string fenError;
            game.start = parseFen(value, fenError);
            if (!game.start) return fail("the FEN tag names no position: " + fenError);
        }
        game.tags.emplace_back(name, value);
        return true;
    }

    void endGame() {
        if (game.result.empty()) game.result = tagOf(game, "Result");
        games.push_back(std::move(game));
        game = PdnGame{};
    }

    const std::string& text;
    std::size_t at = 0;
    int line = 1;
    PdnGame game;
    std::vector<PdnGame> games;
    std::string error;
};

}  // namespace

std::vector<PdnGame> readPdn(const std::string& text, std::string& error) {
    error.clear();
    return PdnReader(text).read(error);
}

std::string tagOf(const PdnGame& game, const std::string& name) {
    for (const auto& [tag, value] : game.tags) {
        if (tag == name) return value;
    }
    return "";
}

Position startOf(const PdnGame& game) { return game.start ? *game.start : Position::start(); }

}  // namespace draughts
