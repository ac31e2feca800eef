#ifndef BOARDWATCH_PDN_FOLDER_H
#define BOARDWATCH_PDN_FOLDER_H

// The folder the games go to, one PDN file per board and game, each
// rewritten after every move so that the file always holds the game as far
// as it is known.

#include <string>

#include "game_record.h"

namespace boardwatch {

class PdnFolder {
public:
    explicit PdnFolder(std::string path);

    // Empty when files can be written there, or why not.
    std::string check() const;
    // Names the game's file the first time: the board and the time the game
    // began, "127.0.0.1-50000-COM3-20240501-140322.pdn". Empty, or why the
    // file could not be written.
    std::string write(GameRecord& game) const;

private:
    std::string path;
};

// A board's name as a file name can hold it: letters, digits, '.', '-'
// and '_' kept, everything else '-'.
std::string fileNameOf(const std::string& board, const Stamp& began);

}  // namespace boardwatch

#endif
