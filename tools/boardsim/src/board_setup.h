#ifndef BOARDSIM_BOARD_SETUP_H
#define BOARDSIM_BOARD_SETUP_H

// What the command line asks the board to play, read and checked before the
// board starts.

#include <optional>
#include <string>
#include <vector>

#include "board_program.h"
#include "draughts/pdn.h"
#include "options.h"

namespace boardsim {

struct BoardSetup {
    BoardSettings settings;
    std::vector<std::string> game;  // the game's moves, then the command line's, checked
    std::string script;             // its text, checked when it is run
    std::optional<std::string> recording;  // its text, checked
};

// Empty, with error naming the file or option at fault, when something
// cannot be read or played.
std::optional<BoardSetup> setUpBoard(const Options& options, std::string& error);

// Game `number` (from 1) of a PDN text; the games after it are not read.
std::optional<draughts::PdnGame> gameNumbered(const std::string& text, int number, std::string& error);

}  // namespace boardsim

#endif
