#ifndef DAMRELAY_CONSOLE_H
#define DAMRELAY_CONSOLE_H

#include <iosfwd>
#include <string>

// The relay's running log. The session thread and the board's thread both
// write to it, so every text is written in one piece under a lock: a log line
// never has another thread's text in the middle of it.
void writeConsole(const std::string& text);

// Sends the log to another stream (tests read it from there); nullptr
// restores standard output.
void redirectConsole(std::ostream* stream);

#endif
