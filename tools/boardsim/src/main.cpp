// boardsim: a draughts board with its clock on a pseudo-terminal.

#include <boost/format.hpp>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <system_error>

#include "board_loop.h"
#include "board_program.h"
#include "move_notation.h"
#include "options.h"

namespace {

using namespace boardsim;

constexpr int usageError = 2;

// The game from the files, then the command line; empty, with error, when a
// file cannot be read.
std::optional<std::string> gameText(const Options& options, std::string& error) {
    std::string text;
    for (const std::string& file : options.gameFiles) {
        std::ifstream in(file);
        if (!in.is_open()) {
            error = (boost::format("cannot read the game file %1%") % file).str();
            return std::nullopt;
        }
        std::ostringstream content;
        content << in.rdbuf();
        text += content.str() + "\n";
    }
    for (const std::string& move : options.moves) text += move + " ";
    return text;
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
    const std::optional<std::string> text = gameText(*options, error);
    const GameCheck game = text ? checkGame(Position::start(), *text) : GameCheck{};
    if (!text || !game.error.empty()) {
        std::cerr << boost::format("boardsim: %1%\n") % (text ? game.error : error);
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
