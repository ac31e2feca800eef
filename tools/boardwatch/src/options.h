#ifndef BOARDWATCH_OPTIONS_H
#define BOARDWATCH_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

#include "game_record.h"
#include "relay_address.h"

namespace boardwatch {

struct Options {
    Endpoint http{"127.0.0.1", 8080};
    std::string pdnFolder = ".";
    // The round's pairings (--round), read when boardwatch starts.
    std::string roundFile;
    // --event, --site, --date and --round-tag.
    RoundTags round;
    // The arbiter's token for results on the page (--arbiter-token-file).
    std::string tokenFile;
    std::vector<RelayAddress> relays;  // on the command line, each board once
    // Names the page may be asked for besides its address (--host): a
    // request for any other is refused, so that no other site's page can
    // read it through a name of its own (DNS rebinding).
    std::vector<std::string> pageNames;
    // For the console: a relay named twice, and so on.
    std::vector<std::string> notes;
    bool help = false;
    bool version = false;
};

// The command line after the program name; empty, with error saying why, on
// a word it does not know, a value it cannot use or no board at all.
std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error);

std::string usageText();

}  // namespace boardwatch

#endif
