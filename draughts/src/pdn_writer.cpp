#include <algorithm>
#include <boost/algorithm/string/predicate.hpp>
#include <boost/format.hpp>

#include "draughts/fen.h"
#include "draughts/pdn.h"

namespace draughts {

namespace {

constexpr std::size_t lineWidth = 80;

std::string quoted(const std::string& value) {
    std::string text = "\"";
    for (char c : value) {
        if (c == '"' || c == '\\') text += '\\';
        text += c;
    }
    return text + '"';
}

}  // namespace

std::string writePdn(const PdnGame& game) {
    std::string text;
    for (const auto& [name, value] : game.tags) text += (boost::format("[%1% %2%]\n") % name % quoted(value)).str();
    // The FEN tag is read whatever its case.
    const bool hasFen = std::any_of(game.tags.begin(), game.tags.end(),
                                    [](const auto& tag) { return boost::iequals(tag.first, "FEN"); });
    if (game.start && !hasFen) text += "[FEN " + quoted(fenOf(*game.start)) + "]\n";
    if (!text.empty()) text += '\n';

    std::vector<std::string> words;
    bool white = startOf(game).toMove() == Side::White;
    int number = 1;
    if (!white && !game.moves.empty()) words.push_back("1...");
    for (const std::string& move : game.moves) {
        if (white) words.push_back(std::to_string(number) + '.');
        words.push_back(move);
        if (!white) ++number;
        white = !white;
    }
    words.push_back(game.result.empty() ? "*" : game.result);

    std::size_t width = 0;
    for (const std::string& word : words) {
        const bool breaks = width > 0 && width + 1 + word.size() > lineWidth;
        if (width > 0) text += breaks ? '\n' : ' ';
        width = (breaks || width == 0 ? 0 : width + 1) + word.size();
        text += word;
    }
    return text + '\n';
}

}  // namespace draughts
