#include "options.h"

#include <boost/format.hpp>

namespace boardwatch {

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string word = arguments[i], value;
        // --http=ADDR:PORT as well as --http ADDR:PORT.
        const std::string::size_type equals = word.find('=');
        const bool joined = word.compare(0, 2, "--") == 0 && equals != std::string::npos;
        if (joined) {
            value = word.substr(equals + 1);
            word.erase(equals);
        }
        const bool takesValue = word == "--http" || word == "--pdn";
        if (takesValue && !joined) {
            if (i + 1 == arguments.size()) {
                error = (boost::format("%1% needs a value") % word).str();
                return std::nullopt;
            }
            value = arguments[++i];
        } else if (joined && !takesValue) {
            error = (boost::format("%1% takes no value") % word).str();
            return std::nullopt;
        }
        if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "--version") {
            options.version = true;
        } else if (word == "--http") {
            const std::optional<Endpoint> http = parseEndpoint(value, error);
            if (!http) return std::nullopt;
            options.http = *http;
        } else if (word == "--pdn") {
            if (value.empty()) {
                error = "--pdn needs a folder";
                return std::nullopt;
            }
            options.pdnFolder = value;
        } else if (!word.empty() && word[0] == '-') {
            error = (boost::format("unknown option '%1%'") % word).str();
            return std::nullopt;
        } else {
            const std::optional<RelayAddress> relay = parseRelayAddress(word, error);
            if (!relay) return std::nullopt;
            options.relays.push_back(*relay);
        }
    }
    if (options.relays.empty() && !options.help && !options.version) {
        error = "no relay to follow";
        return std::nullopt;
    }
    return options;
}

std::string usageText() {
    return "usage: boardwatch [--http ADDR:PORT] [--pdn DIR] RELAY...\n"
           "\n"
           "Follows the games on electronic draughts boards through their relays\n"
           "(damrelay), as a draughts program does, and shows them live in a web\n"
           "browser and as PDN files.\n"
           "\n"
           "  RELAY            HOST:PORT/COMn: the relay's address and the port name\n"
           "                   of its board, for example 127.0.0.1:50000/COM3; one\n"
           "                   or many, one per board\n"
           "  --http ADDR:PORT serve the page here (default 127.0.0.1:8080); an IPv6\n"
           "                   address in brackets, [::1]:8080; 0.0.0.0:8080 for\n"
           "                   every machine on the network; port 0 takes any free\n"
           "                   port (the console says which)\n"
           "  --pdn DIR        write each game to a PDN file in DIR (default: the\n"
           "                   current folder), one file per board and game\n"
           "  -h, --help       show this text\n"
           "  --version        show the version\n"
           "\n"
           "The page at http://ADDR:PORT/ shows every board with its moves, clock\n"
           "times and link; /state.json gives the same for scripts. A relay that\n"
           "goes away is connected again when it comes back.\n";
}

}  // namespace boardwatch
