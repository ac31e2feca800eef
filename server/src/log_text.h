#ifndef DAMRELAY_LOG_TEXT_H
#define DAMRELAY_LOG_TEXT_H

#include <cstddef>
#include <string>

// Text from the program or the board as it goes into the console log. The
// operator's terminal must not act on it: control characters (C0, DEL, C1
// as UTF-8 encodes them, and bytes 0x80 to 0x9F that are not part of
// well-formed UTF-8) are written as \xNN. The line itself is handled
// unchanged; only the log shows it this way.
std::string escapedForLog(const std::string& text);

// The longest part of a program's line that the log shows.
constexpr std::size_t maxLoggedLength = 200;

// As escapedForLog, and a line longer than maxLoggedLength is shortened,
// with its length said, so that one huge line cannot flood the log.
std::string programTextForLog(const std::string& text);

#endif
