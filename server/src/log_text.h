#ifndef DAMRELAY_LOG_TEXT_H
#define DAMRELAY_LOG_TEXT_H

#include <cstddef>
#include <string>

#include "textio/console_text.h"

// Text from the program or the board as it goes into the console log: the
// operator's terminal must not act on it (textio::escapedForConsole). The
// line itself is handled unchanged; only the log shows it this way.
inline std::string escapedForLog(const std::string& text) { return textio::escapedForConsole(text); }

// The longest part of a program's line that the log shows.
constexpr std::size_t maxLoggedLength = 200;

// As escapedForLog, and a line longer than maxLoggedLength is shortened,
// with its length said, so that one huge line cannot flood the log.
std::string programTextForLog(const std::string& text);

#endif
