#include "options.h"

#include <algorithm>
#include <boost/format.hpp>
#include <cctype>

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
        const bool takesValue = word == "--http" || word == "--pdn" || word == "--host";
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
        } else if (word == "--host") {
            // A name as the Host header carries it; an address needs no --host.
            const bool unfit = value.empty() || std::any_of(value.begin(), value.end(), [](char c) {
                return c <= ' ' || c > '~' || c == '/' || c == ':' || c == '[' || c == ']';
            });
            if (unfit) {
                error = (boost::format("--host '%1%': give a host name, as the browser's address shows it") % value).str();
                return std::nullopt;
            }
            for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            options.pageNames.push_back(value);
        } else if (!word.empty() && word[0] == '-') {
            error = (boost::format("unknown option '%1%'") % word).str();
            return std::nullopt;
        } else {
            const std::optional<RelayAddress> relay = parseRelayAddress(word, error);
            if (!relay) return std::nullopt;
            const auto same = [&](const RelayAddress& known) { return known.identity() == relay->identity(); };
            const auto earlier = std::find_if(options.relays.begin(), options.relays.end(), same);
            if (earlier == options.relays.end()) {
                options.relays.push_back(*relay);
            } else {
                options.notes.push_back(
                    (boost::format("%1% is the board %2% again: followed once") % word % earlier->text).str());
            }
        }
    }
    if (options.relays.empty() && !options.help && !options.version) {
        error = "no relay to follow";
        return std::nullopt;
    }
    return options;
}

std::string usageText() {
    return "usage: boardwatch [--http ADDR:PORT] [--host NAME]... [--pdn DIR] RELAY...\n"
           "\n"
           "Follows the games on electronic draughts boards through their relays\n"
           "(damrelay), as a draughts program does, and shows them live in a web\n"
           "browser and as PDN files.\n"
           "\n"
           "  RELAY            HOST:PORT/COMn: the relay's address and the port name\n"
           "                   of its board, for example 127.0.0.1:50000/COM3; one\n"
           "                   or many, one per board (a board named twice is\n"
           "                   followed once)\n"
           "  --http ADDR:PORT serve the page here (default 127.0.0.1:8080); an IPv6\n"
           "                   address in brackets, [::1]:8080; 0.0.0.0:8080 for\n"
           "                   every machine on the network; port 0 takes any free\n"
           "                   port (the console says which)\n"
           "  --host NAME      a name the page may be asked for besides its address\n"
           "                   and localhost (hall.example.org); a request for any\n"
           "                   other name is refused; may be given more than once\n"
           "  --pdn DIR        write each game to a PDN file in DIR (default: the\n"
           "                   current folder), one file per board and game\n"
           "  -h, --help       show this text\n"
           "  --version        show the version\n"
           "\n"
           "The page at http://ADDR:PORT/ shows every board with its moves, clock\n"
           "times and link; /state.json gives the same for scripts. It takes up to\n"
           "1000 connections at once (fewer when the descriptor limit is low: the\n"
           "console says how many) and answers more with 503. A relay that goes\n"
           "away, or whose name is not found, is tried again after 1, 2, 4, then\n"
           "every 5 s; one that serves another program (#busy) after up to 30 s.\n"
           "A game's file that cannot be written is tried again every second.\n";
}

}  // namespace boardwatch
