#ifndef BOARDWATCH_ROUND_PDN_H
#define BOARDWATCH_ROUND_PDN_H

// Every game of the round as one PDN text, as broadcast sites poll it: the
// boards in the order of their numbers, on each its games with a move or a
// result, oldest first, or, before it has any, its game as it stands (its
// tags, and "*"), so that the pairings show from the start.

#include <string>
#include <vector>

#include "watched_board.h"

namespace boardwatch {

struct RoundPdn {
    std::string text;
    std::string etag;  // "\"...\"": the same for the same text, whenever it is made
};

// boards: in the order of their numbers; today: the date of a game not
// begun yet.
RoundPdn roundPdn(const std::vector<WatchedBoard>& boards, const std::string& today);

}  // namespace boardwatch

#endif
