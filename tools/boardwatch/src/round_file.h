#ifndef BOARDWATCH_ROUND_FILE_H
#define BOARDWATCH_ROUND_FILE_H

// A round as organisers keep its pairings in a spreadsheet, saved as CSV:
// a header row naming the columns board, relay, white and black, in any
// order and any case (others are left alone), then one row a board.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "relay_address.h"

namespace boardwatch {

// One board of the round.
struct Pairing {
    int board = 0;  // its number in the hall, from 1
    RelayAddress relay;
    std::string white = "?";  // "?" when the row leaves it empty
    std::string black = "?";
};

// Board numbers as halls number their boards.
constexpr int highestBoard = 9999;
// A name longer than this is no player's name.
constexpr std::size_t longestName = 100;

// The pairings of a round file's text, in its order; empty, with errors
// naming each bad row by its line ("line 4: board 3 again, as on line 2"),
// when any row is bad or there is none.
std::optional<std::vector<Pairing>> readRound(std::string_view text, std::vector<std::string>& errors);

// A name, an event's or a player's, as a tag may hold it: trimmed, valid
// UTF-8 without control characters, at most longestName bytes; empty, with
// error saying why, otherwise. An empty name is "?", as PDN has it.
std::optional<std::string> tagText(std::string_view text, std::string& error);

}  // namespace boardwatch

#endif
