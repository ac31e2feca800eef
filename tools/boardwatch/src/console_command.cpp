#include "console_command.h"

#include <sstream>

#include "game_record.h"
#include "round_file.h"

namespace boardwatch {

const char* const consoleHelp =
    "result BOARD 2-0|1-1|0-2|*   enter the result of the game on board BOARD (* takes it back)\n"
    "help                         show this";

std::vector<ConsoleLines::Line> ConsoleLines::take(std::string_view bytes) {
    std::vector<Line> lines;
    for (const char c : bytes) {
        if (c == '\n') {
            if (!partial.empty() && partial.back() == '\r') partial.pop_back();
            if (!dropping) lines.push_back({std::move(partial), false});
            partial.clear();
            dropping = false;
        } else if (!dropping) {
            partial += c;
            if (partial.size() > longestLine) {
                partial.clear();
                dropping = true;
                lines.push_back({"", true});
            }
        }
    }
    return lines;
}

std::optional<ConsoleCommand> readConsoleCommand(std::string_view line, std::string& error) {
    std::istringstream words{std::string(line)};
    std::vector<std::string> word;
    for (std::string next; words >> next;) word.push_back(next);
    ConsoleCommand command;
    if (word.empty()) return command;
    if (word[0] == "help" && word.size() == 1) {
        command.kind = ConsoleCommand::Kind::Help;
        return command;
    }
    if (word[0] != "result") {
        error = "no such command: type help";
        return std::nullopt;
    }
    const bool number = word.size() == 3 && word[1].size() <= 4 && word[1].find_first_not_of("0123456789") == std::string::npos;
    if (!number || std::stoi(word[1]) < 1 || std::stoi(word[1]) > highestBoard || !isResult(word[2])) {
        error = "write result BOARD 2-0, 1-1, 0-2, or * to take it back (result 3 1-1)";
        return std::nullopt;
    }
    command.kind = ConsoleCommand::Kind::Result;
    command.board = std::stoi(word[1]);
    command.result = word[2];
    return command;
}

}  // namespace boardwatch
