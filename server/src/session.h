#ifndef DAMRELAY_SESSION_H
#define DAMRELAY_SESSION_H

#include <string>

#include "low_level_driver_demo.h"

// The name and version the relay shows on its console and in its greeting.
constexpr const char* serverName = "KRV Draughts Server";
constexpr const char* serverVersion = "v2.1 Console 2011-06-28";

// One session with a draughts program: connects the board first when
// comPort names one, listens on socketPort, takes one program, greets it and
// handles its lines until it closes the connection. Errors of the socket
// layer (SocketError) leave it.
void runMessageListener(int socketPort, LowLevelDriverDemo& demo, const std::string& comPort);

// Handles a comment, connect, disconnect or exit line (and ignores an empty
// one); false for any other line, which is a board request. "EXIT" closes the
// board and ends the process with exit code 0.
bool handleControlLine(LowLevelDriverDemo& demo, const std::string& line);

#endif
