// Any text as a PDN file: read game by game, as boardsim reads a file it is
// given, it must end with the games or a named fault. Read again without
// keeping the games, it must give as many and the same fault; each game of
// moves in notation, written and read back, must be the same game (a word
// that is no move may read back otherwise: "1.2.3" is move 1's "2.3").
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "draughts/notation.h"
#include "draughts/pdn.h"
#include "require.h"

using namespace draughts;

namespace {

void requireSameGame(const PdnGame& game, const PdnGame& back) {
    require(back.moves == game.moves, "a game written reads back with its moves");
    require(back.tags == game.tags, "a game written reads back with its tags");
    require(back.result == (game.result.empty() ? "*" : game.result), "a game written reads back with its result");
    require(back.start == game.start, "a game written reads back from its position");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    PdnReader reader(text);
    std::size_t games = 0;
    while (const std::optional<PdnGame> game = reader.next()) {
        ++games;
        require(game->moves.size() <= PdnReader::mostMoves && game->tags.size() <= PdnReader::mostTags,
                "a game holds no more than the reader takes");
        const bool inNotation = std::all_of(game->moves.begin(), game->moves.end(), [](const std::string& move) {
            std::string error;
            return parseMove(move, error).has_value();
        });
        if (!inNotation) continue;
        const std::string written = writePdn(*game);
        PdnReader again(written);
        const std::optional<PdnGame> back = again.next();
        require(back.has_value() && again.error().empty(), "a game written reads back");
        requireSameGame(*game, *back);
        require(!again.next() && again.error().empty(), "a game written reads back as one game");
    }
    require(reader.error().empty() || reader.error().rfind("line ", 0) == 0, "a fault is named with its line");

    PdnReader skipping(text);
    std::size_t skipped = 0;
    while (skipping.skip()) ++skipped;
    require(skipped == games && skipping.error() == reader.error(),
            "skipping finds the games and the fault reading does");
    return 0;
}
