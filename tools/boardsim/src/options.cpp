#include "options.h"

#include <boost/format.hpp>

namespace boardsim {

namespace {

constexpr long longestPace = 60000;

bool readPace(const std::string& text, std::chrono::milliseconds& pace) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const long value = std::stol(text);
    if (value > longestPace) return false;
    pace = std::chrono::milliseconds(value);
    return true;
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string word = arguments[i], value;
        const bool takesValue = word == "--link" || word == "--game" || word == "--pace";
        if (takesValue) {
            if (i + 1 == arguments.size()) {
                error = (boost::format("%1% needs a value") % word).str();
                return std::nullopt;
            }
            value = arguments[++i];
        }
        if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "--link") {
            options.link = value;
        } else if (word == "--game") {
            options.gameFiles.push_back(value);
        } else if (word == "--pace") {
            if (!readPace(value, options.pace)) {
                error = (boost::format("--pace takes milliseconds from 0 to %1%, not '%2%'") % longestPace % value).str();
                return std::nullopt;
            }
        } else if (!word.empty() && word[0] == '-') {
            error = (boost::format("unknown option '%1%'") % word).str();
            return std::nullopt;
        } else {
            options.moves.push_back(word);
        }
    }
    return options;
}

std::string usageText() {
    return "usage: boardsim [--link PATH] [--game FILE] [--pace MS] [MOVE...]\n"
           "\n"
           "A draughts board with its game clock on a pseudo-terminal, for damrelay and\n"
           "anything else that drives a board over a 9600-baud serial line. It prints\n"
           "the device it plays on; the host opens that device as the board's port.\n"
           "\n"
           "  --link PATH   keep a symbolic link to the device at PATH, so that\n"
           "                damrelay --map COM3=PATH finds the board again after a\n"
           "                restart of boardsim\n"
           "  --game FILE   play the first game of the PDN file FILE once the host\n"
           "                switches updates on\n"
           "  --pace MS     time between two lifts or puts of a piece (default 400);\n"
           "                a move starts three times that after the one before.\n"
           "                0 plays as fast as the line carries the bytes\n"
           "  MOVE...       moves to play as with --game, after the file's\n"
           "  -h, --help    show this text\n"
           "\n"
           "Moves in the usual notation: 32-28, 28x19, 26x37x48 (or 26x48, the path\n"
           "found); move numbers, tags, comments and results are skipped. The rules\n"
           "of international draughts apply: capture is compulsory, and the capture\n"
           "that takes the most pieces must be made to its end. Type moves on the\n"
           "console to play them; 'board' shows the board, 'quit' ends.\n"
           "\n"
           "Squares 1 to 50 as in the notation; black's men start on 1 to 20, white's\n"
           "on 31 to 50, white moves first. Piece codes on the line: 1 (P) white man,\n"
           "5 (K) white king, 7 (p) black man, 11 (k) black king, 0 (.) empty.\n";
}

}  // namespace boardsim
