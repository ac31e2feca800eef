#ifndef BOARDWATCH_GAME_FILE_NAME_H
#define BOARDWATCH_GAME_FILE_NAME_H

// The names of the games' files: they say the date, the round, the board
// and the players, and are safe on every file system the folder may be on
// or be copied to: no path, no character Windows refuses, no name Windows
// keeps for a device, no control or invisible character, and short.

#include <string>
#include <string_view>

#include "game_record.h"

namespace boardwatch {

// Text as a part of a file name: of ASCII, letters, digits and "-._" stay,
// and every other character becomes '_' (runs of it one), as do spaces and
// what a listing hides (controls, invisible and direction marks); letters
// of every other script stay. Cut to at most `most` bytes, whole characters only, and trimmed of
// '_', '-' and '.' at either end; empty when nothing is left.
std::string fileNamePart(std::string_view text, std::size_t most = 40);

// A file name's stem that Windows keeps for a device (CON, aux, com1.txt)
// gets a '_' before it; any other stays as it is.
std::string notADevice(std::string stem);

// The name of a game's file without ".pdn" ("20261209-R3-B07-Jansen-de_Vries"):
// the date (the round's, or the day the game began), the round unless it is
// "?", the board's number with as many digits as the hall's highest, and
// the players unless neither is known ("NN" for one who is not).
std::string gameFileBase(const RoundTags& round, const BoardLabel& board, int highestBoard, const std::string& gameDate);

}  // namespace boardwatch

#endif
