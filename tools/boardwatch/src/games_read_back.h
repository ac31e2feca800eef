#ifndef BOARDWATCH_GAMES_READ_BACK_H
#define BOARDWATCH_GAMES_READ_BACK_H

// The games an earlier run of the same round wrote to the PDN folder, read
// back at start so that a boardwatch started again goes on where it
// stopped: each board's files (BASE.pdn, BASE-2.pdn, ...), oldest first.

#include <map>
#include <string>
#include <vector>

#include "game_record.h"

namespace boardwatch {

// A game's file is read back up to this size.
constexpr std::size_t largestGameFile = 4 * 1024 * 1024;

class GamesReadBack {
public:
    // Lists the folder once.
    explicit GamesReadBack(const std::string& folder);

    // The games of the files named after base whose tags are the board's
    // and the round's (the date only when the round has one); a note for
    // the console on each file that is not taken, and why.
    std::vector<GameRecord> gamesOf(const std::string& base, const RoundTags& round, const BoardLabel& board,
                                    std::vector<std::string>& notes) const;

private:
    std::string folder;
    // By base name: the numbers after it (1 for none), each with its file.
    std::map<std::string, std::map<int, std::string>> files;
};

}  // namespace boardwatch

#endif
