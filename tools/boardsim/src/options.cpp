#include "options.h"

#include <CLI/CLI.hpp>

#include <boost/format.hpp>

#include "whole_number.h"

namespace boardsim {

namespace {

constexpr int longestPace = 60000;
constexpr int mostGames = 99999;
constexpr int highestPort = 65535;

// A check of a whole number's range, with the reason CLI11 puts after the
// option's name.
CLI::Validator wholeNumberFrom(int low, int high, const char* what) {
    return CLI::Validator(
        [low, high, what](const std::string& value) {
            if (wholeNumber(value, low, high)) return std::string();
            return (boost::format("takes %1% from %2% to %3%, not '%4%'") % what % low % high % value).str();
        },
        "");
}

// What goes with a replay, which plays the recorded session alone.
bool playsMoreThanARecording(const Options& options) {
    return !options.position.empty() || !options.gameFile.empty() || !options.scriptFile.empty() ||
           !options.moves.empty() || options.freeRules;
}

}  // namespace

std::optional<TcpAddress> tcpAddressOf(const std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return std::nullopt;
    std::string host = text.substr(0, colon);
    const std::string port = text.substr(colon + 1);
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    } else if (host.find_first_of("[]:") != std::string::npos) {
        return std::nullopt;
    }
    if (!wholeNumber(port, 0, highestPort)) return std::nullopt;
    return TcpAddress{host, port};
}

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    CLI::App app("", "boardsim");
    // The usage is boardsim's own text, which the documents quote.
    app.set_help_flag();
    app.add_flag("-h,--help", options.help);
    app.add_flag("--version", options.version);
    CLI::Option* link = app.add_option("--link", options.link);
    std::string tcp;
    CLI::Option* overTcp =
        app.add_option("--tcp", tcp)->check(CLI::Validator(
            [](const std::string& value) {
                return tcpAddressOf(value) ? std::string()
                                           : "takes ADDR:PORT, such as 127.0.0.1:3333 or [::1]:3333, not '" + value + "'";
            },
            ""));
    link->excludes(overTcp);
    app.add_option("--position", options.position);
    CLI::Option* game = app.add_option("--game", options.gameFile);
    app.add_option("--game-number", options.gameNumber)->check(wholeNumberFrom(1, mostGames, "a game's number"))->needs(game);
    app.add_option("--script", options.scriptFile);
    app.add_option("--replay", options.replayFile);
    app.add_flag("--free", options.freeRules);
    int pace = static_cast<int>(options.pace.count());
    app.add_option("--pace", pace)->check(wholeNumberFrom(0, longestPace, "milliseconds"));
    app.add_option("MOVE", options.moves);
    try {
        // CLI11 takes the words last first.
        std::vector<std::string> words(arguments.rbegin(), arguments.rend());
        app.parse(words);
    } catch (const CLI::ParseError& failure) {
        error = failure.what();
        return std::nullopt;
    }
    options.pace = std::chrono::milliseconds(pace);
    if (!tcp.empty()) options.tcp = tcpAddressOf(tcp);
    if (!options.replayFile.empty() && playsMoreThanARecording(options)) {
        error = "--replay plays a recording alone: no position, game, script, moves or --free";
        return std::nullopt;
    }
#ifdef _WIN32
    // Windows has no pseudo-terminals.
    if (!options.tcp && !options.help && !options.version) {
        error = "on Windows the board is served over TCP: give --tcp ADDR:PORT, such as --tcp 127.0.0.1:3333";
        return std::nullopt;
    }
#endif
    return options;
}

std::string usageText() {
    return "usage: boardsim [--link PATH | --tcp ADDR:PORT] [--position FEN]\n"
           "                [--game FILE [--game-number N]] [--script FILE] [--free]\n"
           "                [--pace MS] [MOVE...]\n"
           "       boardsim [--link PATH | --tcp ADDR:PORT] --replay FILE\n"
           "\n"
           "A draughts board with its game clock, for damrelay and anything else that\n"
           "drives a board over a 9600-baud serial line: on a pseudo-terminal, whose\n"
           "device it prints and the host opens as the board's port, or over TCP.\n"
           "\n"
           "  --link PATH       keep a symbolic link to the device at PATH, so that\n"
           "                    damrelay --map COM3=PATH finds the board again after a\n"
           "                    restart of boardsim, or a plug\n"
           "  --tcp ADDR:PORT   serve the board over TCP instead (on Windows the only\n"
           "                    way), to one host at a time: 127.0.0.1:3333 for this\n"
           "                    machine alone, 0.0.0.0:3333 for every network\n"
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
           "  --version         show the version\n"
           "\n"
           "Moves in the usual notation: 32-28, 28x19, 26x37x48 (or 26x48, the path\n"
           "found); move numbers, tags, comments and results are skipped. The rules\n"
           "of international draughts apply: capture is compulsory, and the capture\n"
           "that takes the most pieces must be made to its end. Type moves and\n"
           "commands on the console ('help' lists them); 'quit' ends. Lifts and puts\n"
           "that make a move of the side to move make that move.\n"
           "\n"
           "Squares 1 to 50 as in the notation; black's men start on 1 to 20, white's\n"
           "on 31 to 50, white moves first. Piece codes on the line: 1 (P) white man,\n"
           "5 (K) white king, 7 (p) black man, 11 (k) black king, 0 (.) empty.\n";
}

}  // namespace boardsim
