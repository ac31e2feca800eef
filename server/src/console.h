#ifndef DAMRELAY_CONSOLE_H
#define DAMRELAY_CONSOLE_H

#include <chrono>
#include <iosfwd>
#include <string>

// The relay's running log. The session thread and the board's thread hand
// their texts over and go on: one writer of its own puts them on the
// console, each text whole and in the order handed over, so that a console
// nobody reads holds up neither the program nor the board. What a stalled
// console cannot take is dropped, oldest first, and counted.
void writeConsole(const std::string& text);

// Waits until everything handed over so far is written, at most patience.
// False when the console did not take it in time.
bool flushConsole(std::chrono::milliseconds patience = std::chrono::milliseconds::max());

// How long the relay waits for its console before it ends, or before it
// asks the user something.
constexpr std::chrono::milliseconds consolePatience{2000};

// Sends the log to another stream (tests read it from there); nullptr
// restores standard output. Everything written before goes to the old place
// first.
void redirectConsole(std::ostream* stream);

#endif
