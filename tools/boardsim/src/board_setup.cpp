#include "board_setup.h"

#include <boost/format.hpp>
#include <fstream>
#include <sstream>

#include "draughts/fen.h"

namespace boardsim {

namespace {

std::optional<std::string> contentOf(const std::string& file, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in.is_open()) {
        error = (boost::format("cannot read %1%") % file).str();
        return std::nullopt;
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string placed(const std::string& where, const std::string& what) { return where + ": " + what; }

}  // namespace

std::optional<draughts::PdnGame> gameNumbered(const std::string& text, int number, std::string& error) {
    std::vector<draughts::PdnGame> games = draughts::readPdn(text, error);
    if (!error.empty()) return std::nullopt;
    if (static_cast<int>(games.size()) < number) {
        error = games.empty() ? std::string("no game in it")
                              : (boost::format("%1% games in it, not %2%") % games.size() % number).str();
        return std::nullopt;
    }
    return std::move(games[static_cast<std::size_t>(number - 1)]);
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
        std::optional<draughts::PdnGame> game;
        if (text) game = gameNumbered(*text, options.gameNumber, error);
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
        moves = game->moves;
    }
    moves.insert(moves.end(), options.moves.begin(), options.moves.end());
    const draughts::GameCheck check = checkGame(setup.settings.start, moves, setup.settings.rules);
    if (!check.error.empty()) {
        error = options.gameFile.empty() ? check.error : placed(options.gameFile, check.error);
        return std::nullopt;
    }
    setup.game = check.moves;
    if (!options.scriptFile.empty()) {
        const std::optional<std::string> text = contentOf(options.scriptFile, error);
        if (!text) return std::nullopt;
        std::istringstream in(*text);
        for (std::string line; std::getline(in, line);) setup.script.push_back(line);
    }
    if (!options.replayFile.empty()) {
        const std::optional<std::string> text = contentOf(options.replayFile, error);
        if (text) setup.recording = readRecording(*text, error);
        if (!setup.recording) {
            error = text ? placed(options.replayFile, error) : error;
            return std::nullopt;
        }
    }
    return setup;
}

bool runScript(BoardProgram& program, const std::string& file, const std::vector<std::string>& lines, Time now,
               std::string& error) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (program.fromScript(lines[i], now, error)) continue;
        error = (boost::format("%1% line %2%: %3%") % file % (i + 1) % error).str();
        return false;
    }
    return true;
}

}  // namespace boardsim
