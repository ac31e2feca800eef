#include "board_setup.h"

#include <boost/format.hpp>

#include "draughts/fen.h"
#include "input_file.h"
#include "replay.h"

namespace boardsim {

namespace {

std::string placed(const std::string& where, const std::string& what) { return where + ": " + what; }

}  // namespace

std::optional<draughts::PdnGame> gameNumbered(const std::string& text, int number, std::string& error) {
    draughts::PdnReader reader(text);
    int skipped = 0;
    while (skipped < number - 1 && reader.skip()) ++skipped;
    std::optional<draughts::PdnGame> game = skipped == number - 1 ? reader.next() : std::nullopt;
    error = reader.error();
    if (!error.empty() || game) return game;
    error = skipped == 0 ? std::string("no game in it")
                         : (boost::format("%1% games in it, not %2%") % skipped % number).str();
    return std::nullopt;
}

std::optional<BoardSetup> setUpBoard(const Options& options, std::string& error) {
    BoardSetup setup;
    setup.settings.pace = options.pace;
    setup.settings.rules = options.freeRules ? draughts::Rules::Free : draughts::Rules::International;
    if (!options.position.empty()) {
        const std::optional<Position> position = draughts::parseFen(options.position, error);
        if (!position) {
            error = placed("--position", error);
            return std::nullopt;
        }
        setup.settings.start = *position;
    }
    std::vector<std::string> moves;
    if (!options.gameFile.empty()) {
        const std::optional<std::string> text = contentOf(options.gameFile, error);
        if (!text) return std::nullopt;
        std::optional<draughts::PdnGame> game = gameNumbered(*text, options.gameNumber, error);
        if (!game) {
            error = placed(options.gameFile, error);
            return std::nullopt;
        }
        if (game->start && !options.position.empty()) {
            error = placed(options.gameFile, "the game starts from a position of its own (its FEN tag): leave out "
                                             "--position");
            return std::nullopt;
        }
        if (game->start) setup.settings.start = *game->start;
        moves = std::move(game->moves);
    }
    moves.insert(moves.end(), options.moves.begin(), options.moves.end());
    const draughts::GameCheck check = checkGame(setup.settings.start, moves, setup.settings.rules);
    if (!check.error.empty()) {
        error = options.gameFile.empty() ? check.error : placed(options.gameFile, check.error);
        return std::nullopt;
    }
    setup.game = std::move(moves);
    if (!options.scriptFile.empty()) {
        std::optional<std::string> text = contentOf(options.scriptFile, error);
        if (!text) return std::nullopt;
        setup.script = std::move(*text);
    }
    if (!options.replayFile.empty()) {
        setup.recording = contentOf(options.replayFile, error);
        if (!setup.recording) return std::nullopt;
        if (!countBoardLines(*setup.recording, error)) {
            error = placed(options.replayFile, error);
            return std::nullopt;
        }
    }
    return setup;
}

}  // namespace boardsim
