#ifndef BOARDWATCH_HALL_SETUP_H
#define BOARDWATCH_HALL_SETUP_H

// What boardwatch follows, from its command line and the files it names:
// the round file's boards, then the relays on the command line numbered
// after them, and the arbiter's token.

#include <optional>
#include <string>
#include <vector>

#include "options.h"
#include "round_file.h"

namespace boardwatch {

struct Hall {
    std::vector<Pairing> boards;  // in the order of their numbers
    std::string arbiterToken;     // empty: results come from the console only
    std::vector<std::string> notes;
};

// The round file's boards (empty without one) and the relays of the
// command line: a relay both name is followed once, as the round's board;
// the others get the numbers after the round's highest, in their order.
std::vector<Pairing> boardsOf(std::vector<Pairing> round, const std::vector<RelayAddress>& relays,
                              std::vector<std::string>& notes);

// A token file's text as the token: its first line, trimmed; empty, with
// error saying why, when that is shorter than 16 characters or holds
// anything but letters, digits and -._~+/=.
std::optional<std::string> tokenOf(const std::string& text, std::string& error);

// Reads the files; empty, with errors (each naming its file, and a bad
// row's line), when one cannot be used.
std::optional<Hall> setUpHall(const Options& options, std::vector<std::string>& errors);

}  // namespace boardwatch

#endif
