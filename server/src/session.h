#ifndef DAMRELAY_SESSION_H
#define DAMRELAY_SESSION_H

#include <string>

#include "low_level_driver_demo.h"

// The name and version the relay shows on its console and in its greeting.
constexpr const char* serverName = "KRV Draughts Server";
constexpr const char* serverVersion = "v2.1 Console 2011-06-28";

// Where the relay listens for the draughts program.
struct ListenSettings {
    std::string address = "0.0.0.0";  // every IPv4 interface
    unsigned short port = 50000;
};

enum class SessionEnd {
    programLeft,    // the program closed its connection, or it failed
    exitRequested,  // the program sent "EXIT"
    noProgram,      // no connection could be taken
};

// One session with a draughts program: connects the board first when
// comPort names one, listens, takes one program, greets it and handles its
// lines until it closes the connection or asks the relay to end. Errors of
// the listener (SocketError) leave it.
SessionEnd runMessageListener(const ListenSettings& listen, LowLevelDriverDemo& demo, const std::string& comPort);

enum class LineKind {
    request,        // not a control line: a board request
    handled,        // a comment, connect or disconnect line, or an empty one
    exitRequested,  // "EXIT": the board is closed, the relay is to end
};

// Handles a comment, connect, disconnect or exit line (and ignores an empty
// one).
LineKind handleControlLine(LowLevelDriverDemo& demo, const std::string& line);

// Handles one line from the program, control line or board request. False
// when the program asked the relay to end.
bool handleProgramLine(LowLevelDriverDemo& demo, const std::string& line);

#endif
