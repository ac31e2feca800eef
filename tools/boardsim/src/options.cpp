#include "options.h"

#include <boost/format.hpp>

#include "whole_number.h"

namespace boardsim {

namespace {

constexpr int longestPace = 60000;
constexpr int mostGames = 99999;

// What goes with a replay, which plays the recorded session alone.
bool playsMoreThanARecording(const Options& options) {
    return !options.position.empty() || !options.gameFile.empty() || !options.scriptFile.empty() ||
           !options.moves.empty() || options.freeRules;
}

}  // namespace

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    const auto fail = [&error](const boost::format& why) {
        error = why.str();
        return std::nullopt;
    };
    bool numbered = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        std::string value;
        const bool takesValue = word == "--link" || word == "--position" || word == "--game" ||
                                word == "--game-number" || word == "--script" || word == "--replay" || word == "--pace";
        if (takesValue) {
            if (i + 1 == arguments.size()) return fail(boost::format("%1% needs a value") % word);
            value = arguments[++i];
        }
        if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "--link") {
            options.link = value;
        } else if (word == "--position") {
            options.position = value;
        } else if (word == "--game" || word == "--script" || word == "--replay") {
            std::string& file =
                word == "--game" ? options.gameFile : word == "--script" ? options.scriptFile : options.replayFile;
            if (!file.empty()) return fail(boost::format("%1% is given once") % word);
            file = value;
        } else if (word == "--game-number") {
            const std::optional<int> number = wholeNumber(value, 1, mostGames);
            if (!number) return fail(boost::format("--game-number takes 1 to %1%, not '%2%'") % mostGames % value);
            options.gameNumber = *number;
            numbered = true;
        } else if (word == "--free") {
            options.freeRules = true;
        } else if (word == "--pace") {
            const std::optional<int> pace = wholeNumber(value, 0, longestPace);
            if (!pace) return fail(boost::format("--pace takes milliseconds from 0 to %1%, not '%2%'") % longestPace % value);
            options.pace = std::chrono::milliseconds(*pace);
        } else if (!word.empty() && word[0] == '-') {
            return fail(boost::format("unknown option '%1%'") % word);
        } else {
            options.moves.push_back(word);
        }
    }
    if (numbered && options.gameFile.empty()) return fail(boost::format("--game-number goes with --game"));
    if (!options.replayFile.empty() && playsMoreThanARecording(options)) {
        return fail(boost::format("--replay plays a recording alone: no position, game, script, moves or --free"));
    }
    return options;
}

std::string usageText() {
    return "usage: boardsim [--link PATH] [--position FEN] [--game FILE [--game-number N]]\n"
           "                [--script FILE] [--free] [--pace MS] [MOVE...]\n"
           "       boardsim [--link PATH] --replay FILE\n"
           "\n"
           "A draughts board with its game clock on a pseudo-terminal, for damrelay and\n"
           "anything else that drives a board over a 9600-baud serial line. It prints\n"
           "the device it plays on; the host opens that device as the board's port.\n"
           "\n"
           "  --link PATH       keep a symbolic link to the device at PATH, so that\n"
           "                    damrelay --map COM3=PATH finds the board again after a\n"
           "                    restart of boardsim, or a plug\n"
           "  --position FEN    start from this position, W:W31,32,K45:B1,2,K7 (side to\n"
           "                    move first) instead of the starting position\n"
           "  --game FILE       play the first game of the PDN file FILE once the host\n"
           "                    switches updates on; from its FEN tag, if it has one\n"
           "  --game-number N   play the file's Nth game instead\n"
           "  --script FILE     then run FILE's console commands and moves, one a line,\n"
           "                    with 'wait MS' between them\n"
           "  --free            take any move the pieces' paths allow, not only those\n"
           "                    the rules of international draughts allow\n"
           "  --pace MS         time between two lifts or puts of a piece (default 400);\n"
           "                    a move starts three times that after the one before.\n"
           "                    0 plays as fast as the line carries the bytes\n"
           "  --replay FILE     play the board's side of a damrelay --record file again\n"
           "                    to the host that opens the port: its bytes at their\n"
           "                    times, the cable out where the relay lost the port\n"
           "  MOVE...           moves to play after the game's\n"
           "  -h, --help        show this text\n"
           "\n"
           "Moves in the usual notation: 32-28, 28x19, 26x37x48 (or 26x48, the path\n"
           "found); move numbers, tags, comments and results are skipped. The rules\n"
           "of international draughts apply: capture is compulsory, and the capture\n"
           "that takes the most pieces must be made to its end. Type moves and\n"
           "commands on the console ('help' lists them); 'quit' ends.\n"
           "\n"
           "Squares 1 to 50 as in the notation; black's men start on 1 to 20, white's\n"
           "on 31 to 50, white moves first. Piece codes on the line: 1 (P) white man,\n"
           "5 (K) white king, 7 (p) black man, 11 (k) black king, 0 (.) empty.\n";
}

}  // namespace boardsim
