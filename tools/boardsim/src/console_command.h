#ifndef BOARDSIM_CONSOLE_COMMAND_H
#define BOARDSIM_CONSOLE_COMMAND_H

// A line typed at the board's console or read from a script: a command
// word with its values, or moves.

#include <optional>
#include <string>

#include "draughts_names.h"

namespace boardsim {

// The keys of the game clock that make it send an acknowledgement of its own.
enum class ClockKey { Ready, Mode, ModeWithStartStop };

struct ConsoleCommand {
    enum class Kind {
        Nothing,   // an empty line or a comment (#)
        Moves,     // text: moves as in a game file
        Lift,      // square
        Put,       // square, piece
        Position,  // text: the FEN of a position
        Start,     // the starting position
        Back,      // take back the last move
        Pull,      // the board's cable pulled out
        Plug,      // and plugged in again
        Noise,     // count bytes that make no frame
        Tear,      // the next frame goes out torn
        Key,       // key: a clock key pressed
        Wait,      // count milliseconds before what follows
        Board,     // show the board
        Help,
        Quit,
    };
    Kind kind = Kind::Nothing;
    int square = 0;
    Piece piece = Piece::None;
    int count = 0;
    ClockKey key = ClockKey::Ready;
    std::string text;
};

// The command a line gives; empty, with error saying why, for a command word
// with values it cannot use. Any line that begins with no command word is
// taken as moves, to be checked against the position.
std::optional<ConsoleCommand> parseConsoleLine(const std::string& line, std::string& error);

// The console's help: every command with an example.
extern const char* const consoleHelp;

}  // namespace boardsim

#endif
