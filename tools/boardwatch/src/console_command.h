#ifndef BOARDWATCH_CONSOLE_COMMAND_H
#define BOARDWATCH_CONSOLE_COMMAND_H

// What the person at boardwatch's console types, without the console: the
// bytes cut into lines, and each line read as a command.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace boardwatch {

// Standard input's bytes cut into lines, without their line ends. A line
// longer than longestLine is no command: it is dropped, and said once.
class ConsoleLines {
public:
    static constexpr std::size_t longestLine = 1024;

    struct Line {
        std::string text;
        bool tooLong = false;  // text is empty: the line was dropped
    };
    std::vector<Line> take(std::string_view bytes);

private:
    std::string partial;
    bool dropping = false;
};

struct ConsoleCommand {
    enum class Kind { Nothing, Help, Result };
    Kind kind = Kind::Nothing;
    int board = 0;       // Result
    std::string result;  // Result: "2-0", "1-1", "0-2" or "*"
};

// "result 3 1-1", "help", or an empty line; empty, with error saying why,
// for anything else.
std::optional<ConsoleCommand> readConsoleCommand(std::string_view line, std::string& error);

// What the console takes, for "help".
extern const char* const consoleHelp;

}  // namespace boardwatch

#endif
