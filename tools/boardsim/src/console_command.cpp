#include "console_command.h"

#include <boost/format.hpp>
#include <sstream>
#include <vector>

#include "whole_number.h"

namespace boardsim {

const char* const consoleHelp =
    "moves, one or more on a line:  32-28  28x19  26x37x48 (or 26x48)\n"
    "a person's hands:              lift 32   put 28 P   (P K p k as the host shows them)\n"
    "positions:                     position W:W31,32,K45:B1,2,K7   start   back (the last move)\n"
    "the cable:                     pull   plug   noise 20 (bytes)   tear (the next frame)\n"
    "clock keys:                    key ready   key mode   key mode+startstop\n"
    "timing:                        wait 500 (milliseconds before what follows)\n"
    "board shows the board, help this text, quit ends the board. Each command\n"
    "takes its turn after the moves and commands before it.\n";

namespace {

using Kind = ConsoleCommand::Kind;

constexpr int longestNoise = 10000;
constexpr int longestWait = 3600000;  // an hour

std::vector<std::string> wordsOf(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

struct Word {
    const char* name;
    Kind kind;
    const char* values;  // what follows the word, for the message on a fault
};

const Word commandWords[] = {
    {"lift", Kind::Lift, "a square, 1 to 50: lift 32"},
    {"put", Kind::Put, "a square and a piece: put 28 P (P K p k)"},
    {"position", Kind::Position, "a position: position W:W31,32,K45:B1,2,K7"},
    {"start", Kind::Start, ""},
    {"back", Kind::Back, ""},
    {"pull", Kind::Pull, ""},
    {"plug", Kind::Plug, ""},
    {"noise", Kind::Noise, "a count of bytes, 1 to 10000: noise 20"},
    {"tear", Kind::Tear, ""},
    {"key", Kind::Key, "ready, mode or mode+startstop: key mode"},
    {"wait", Kind::Wait, "milliseconds, 0 to 3600000: wait 500"},
    {"board", Kind::Board, ""},
    {"help", Kind::Help, ""},
    {"quit", Kind::Quit, ""},
    {"exit", Kind::Quit, ""},
};

// The values after the command word; false when they do not fit it.
bool readValues(ConsoleCommand& command, const std::vector<std::string>& words, const std::string& rest) {
    const std::size_t values = words.size() - 1;
    switch (command.kind) {
        case Kind::Lift: {
            const std::optional<int> square = values == 1 ? wholeNumber(words[1], 1, squareCount) : std::nullopt;
            command.square = square.value_or(0);
            return square.has_value();
        }
        case Kind::Put: {
            if (values != 2 || words[2].size() != 1) return false;
            const std::optional<int> square = wholeNumber(words[1], 1, squareCount);
            const std::optional<Piece> piece = draughts::pieceOfLetter(words[2][0]);
            if (!square || !piece || *piece == Piece::None) return false;
            command.square = *square;
            command.piece = *piece;
            return true;
        }
        case Kind::Position:
            command.text = rest;
            return values > 0;
        case Kind::Noise:
        case Kind::Wait: {
            const bool noise = command.kind == Kind::Noise;
            const std::optional<int> count =
                values == 1 ? wholeNumber(words[1], noise ? 1 : 0, noise ? longestNoise : longestWait) : std::nullopt;
            command.count = count.value_or(0);
            return count.has_value();
        }
        case Kind::Key: {
            if (values != 1) return false;
            const std::pair<const char*, ClockKey> keys[] = {
                {"ready", ClockKey::Ready}, {"mode", ClockKey::Mode}, {"mode+startstop", ClockKey::ModeWithStartStop}};
            for (const auto& [name, key] : keys) {
                if (words[1] != name) continue;
                command.key = key;
                return true;
            }
            return false;
        }
        default:
            return values == 0;
    }
}

}  // namespace

std::optional<ConsoleCommand> parseConsoleLine(const std::string& line, std::string& error) {
    const std::vector<std::string> words = wordsOf(line);
    ConsoleCommand command;
    if (words.empty() || words[0][0] == '#') return command;
    for (const Word& word : commandWords) {
        if (words[0] != word.name) continue;
        command.kind = word.kind;
        const std::size_t after = line.find(words[0]) + words[0].size();
        const std::size_t restStart = line.find_first_not_of(" \t\r", after);
        const std::string rest =
            restStart == std::string::npos ? "" : line.substr(restStart, line.find_last_not_of(" \t\r") + 1 - restStart);
        if (readValues(command, words, rest)) return command;
        error = *word.values != '\0' ? (boost::format("%1% takes %2%") % word.name % word.values).str()
                                     : (boost::format("%1% takes nothing after it") % word.name).str();
        return std::nullopt;
    }
    command.kind = Kind::Moves;
    command.text = line;
    return command;
}

}  // namespace boardsim
