#ifndef DAMRELAY_REQUEST_TRANSLATION_H
#define DAMRELAY_REQUEST_TRANSLATION_H

#include <boardio/boardio.h>

#include <memory>
#include <string>

// What a board request line from the program becomes: the console text that
// logs it and the command for the board, if any.
struct TranslatedRequest {
    std::string log;                                  // whole log lines
    std::unique_ptr<krvEBLowLevel::Command> command;  // null: nothing goes to the board
};

// A request line (not a control line), taken while a board is connected:
// its first two characters are the command byte in decimal ("66" sends
// 0x42); 43 is a clock request, followed by a sub-command digit and an
// argument.
TranslatedRequest translateRequest(const std::string& line);

// The clock command for a sub-command and its argument. Null, with a log
// line in log, when there is none to send.
std::unique_ptr<krvEBLowLevel::Command> makeClockCommand(int subCommand, const std::string& argument, std::string& log);

#endif
