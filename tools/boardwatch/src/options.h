#ifndef BOARDWATCH_OPTIONS_H
#define BOARDWATCH_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

#include "relay_address.h"

namespace boardwatch {

struct Options {
    Endpoint http{"127.0.0.1", 8080};
    std::string pdnFolder = ".";
    std::vector<RelayAddress> relays;  // each board once
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
// a word it does not know, a value it cannot use or no relay at all.
std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error);

std::string usageText();

}  // namespace boardwatch

#endif
