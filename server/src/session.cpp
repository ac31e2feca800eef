#include "session.h"

#include <boost/format.hpp>
#include <cstdlib>

#include "console.h"
#include "program_connection.h"
#include "socket.h"

namespace {

bool isConnectLine(const std::string& line) {
    const std::string prefix = line.substr(0, 3);
    return prefix == "COM" || prefix == "com" || prefix == "Com";
}

}  // namespace

bool handleControlLine(LowLevelDriverDemo& demo, const std::string& line) {
    if (line.empty()) return true;
    if (line[0] == '#') {
        writeConsole(str(boost::format("received: %1%\n") % line));
        return true;
    }
    if (isConnectLine(line)) {
        writeConsole(str(boost::format("received: %1%\nconnect to KRV E-board\n") % line));
        demo.connectBoard(line);
        return true;
    }
    if (line == "DISC") {
        writeConsole(str(boost::format("received: %1%\ndisconnect E-board\n") % line));
        demo.disconnectBoard();
        return true;
    }
    if (line == "EXIT") {
        writeConsole(str(boost::format("received: %1%\ndraughts program requested exit") % line));
        // No reply; the board is let go cleanly so that its port is free for
        // whoever opens it next. The program's connection ends first: closing
        // the board waits for the board's thread, which may be in a send to a
        // program that no longer reads.
        endProgramConnection();
        demo.closeBoard();
        std::exit(0);
    }
    return false;
}

void runMessageListener(int socketPort, LowLevelDriverDemo& demo, const std::string& comPort) {
    if (!comPort.empty()) {
        writeConsole(str(boost::format("connect to E-board via %1%\n") % comPort));
        handleControlLine(demo, comPort);
    }
    writeConsole("Message Listener started\n");
    // Listening before the waiting line appears: a program started on that
    // line finds the port open.
    SocketServer server(socketPort);
    writeConsole(str(boost::format("waiting for connection to Draughts program on port %1% ...\n") % socketPort));
    // The greeting goes out as the connection is handed over: in auto-connect
    // mode the board is live already, and its lines must come after it.
    setProgramSocket(server.accept(), str(boost::format("#%1% %2%") % serverName % serverVersion));
    if (!hasProgramSocket()) {
        writeConsole("*** error: Could not connect to Draughts program\n");
        return;
    }

    for (std::string line = receiveLine(); !line.empty(); line = receiveLine()) {
        if (line.back() == '\n') line.pop_back();
        if (!handleControlLine(demo, line)) demo.translateCommand(line);
    }
    endProgramConnection();
    writeConsole("Message Listener stopped\n");
}
