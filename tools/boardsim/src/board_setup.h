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
#include "replay.h"

namespace boardsim {

struct BoardSetup {
    BoardSettings settings;
    std::vector<Move> game;  // the game's moves, then the command line's
    std::vector<std::string> script;  // its lines
    std::optional<std::vector<RecordedFrame>> recording;
};

// Empty, with error naming the file or option at fault, when something
// cannot be read or played.
std::optional<BoardSetup> setUpBoard(const Options& options, std::string& error);

// Game `number` (from 1) of a PDN text.
std::optional<draughts::PdnGame> gameNumbered(const std::string& text, int number, std::string& error);

// Runs the script's lines on the program; false, with error naming the line,
// at the first one refused.
bool runScript(BoardProgram& program, const std::string& file, const std::vector<std::string>& lines, Time now,
               std::string& error);

}  // namespace boardsim

#endif
