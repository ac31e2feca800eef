#ifndef DAMRELAY_PROGRAM_CONNECTION_H
#define DAMRELAY_PROGRAM_CONNECTION_H

// The one connection to the draughts program. The session thread installs it,
// reads from it and ends it; the session thread and the board's thread both
// send lines on it. A lock hands it over: a line is sent whole before the
// next one starts, and no send touches a connection that has been ended.

#include <cstddef>
#include <string>

#include "socket.h"

// The longest request line handled; the rest of a longer line is discarded.
constexpr std::size_t maxRequestLineLength = 64 * 1024;

// Makes socket the program's connection; the relay owns it from here on.
// A non-empty greeting is sent (and logged) as the connection's first line,
// before any other thread can send on it.
void setProgramSocket(Socket* socket, const std::string& greeting = std::string());

// Ends the program's connection and deletes it. A send in progress on another
// thread finishes (or fails) first; every later send finds no program.
void endProgramConnection();

bool hasProgramSocket();

// Logs "send: '<text>'" and sends text with a line feed to the program. Log
// line and line on the connection come in the same order from every thread.
// Does nothing and returns false when no program is connected; false too when
// the program has gone away.
bool sendLine(const std::string& text);

// The next line from the program, with its line feed. The last line before
// the program closes the connection may lack one. Empty when the connection
// has ended or failed. A line longer than maxRequestLineLength is cut to that
// length and given a line feed; the rest of it is discarded.
std::string receiveLine();

#endif
