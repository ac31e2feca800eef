// boardsim: a draughts board with its clock on a pseudo-terminal.

#include <boost/format.hpp>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <system_error>

#include "board_loop.h"
#include "board_program.h"
#include "draughts/pdn.h"
#include "options.h"

namespace {

using namespace boardsim;

constexpr int usageError = 2;

// The moves of the first game in each file, then those of the command line;
// empty, with error, when a file cannot be read or holds no game boardsim
// can play.
std::optional<std::vector<std::string>> gameMoves(const Options& options, std::string& error) {
    std::vector<std::string> moves;
    for (const std::string& file : options.gameFiles) {
        std::ifstream in(file);
        if (!in.is_open()) {
            error = (boost::format("cannot read the game file %1%") % file).str();
            return std::nullopt;
        }
        std::ostringstream content;
        content << in.rdbuf();
        const std::vector<draughts::PdnGame> games = draughts::readPdn(content.str(), error);
        if (!error.empty() || games.empty()) {
            error = (boost::format("%1%: %2%") % file % (error.empty() ? "no game in it" : error)).str();
            return std::nullopt;
        }
        if (startOf(games.front()) != Position::start()) {
            error = (boost::format("%1%: the game starts from a position of its own; boardsim plays games from the "
                                   "starting position") %
                     file)
                        .str();
            return std::nullopt;
        }
        moves.insert(moves.end(), games.front().moves.begin(), games.front().moves.end());
    }
    moves.insert(moves.end(), options.moves.begin(), options.moves.end());
    return moves;
}

}  // namespace

int main(int argc, char** argv) {
    // Lines reach a log or a pipe as they are written.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::string error;
    const std::optional<Options> options = parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << boost::format("boardsim: %1%\n%2%") % error % usageText();
        return usageError;
    }
    if (options->help) {
        std::cout << usageText();
        return 0;
    }
    const std::optional<std::vector<std::string>> moves = gameMoves(*options, error);
    const draughts::GameCheck game = moves ? checkGame(Position::start(), *moves) : draughts::GameCheck{};
    if (!moves || !game.error.empty()) {
        std::cerr << boost::format("boardsim: %1%\n") % (moves ? game.error : error);
        return usageError;
    }
    try {
        virtualboard::VirtualBoard device(options->link);
        std::cout << boost::format("board on %1%\n") % device.devicePath();
        if (!options->link.empty()) std::cout << boost::format("link %1% -> %2%\n") % options->link % device.devicePath();
        BoardProgram program(std::cout, options->pace, game.moves, std::chrono::steady_clock::now());
        runBoard(device, program, std::cout);
    } catch (const std::system_error& failure) {
        std::cerr << boost::format("boardsim: %1%\n") % failure.what();
        return 1;
    }
    return 0;
}
