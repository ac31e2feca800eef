#include "session.h"

#include <boost/asio/io_context.hpp>
#include <boost/format.hpp>
#include <memory>

#include "console.h"
#include "log_text.h"
#include "program_connection.h"
#include "socket_server.h"

namespace {

bool isConnectLine(const std::string& line) {
    const std::string prefix = line.substr(0, 3);
    return prefix == "COM" || prefix == "com" || prefix == "Com";
}

bool isDevicePath([[maybe_unused]] const std::string& text) {
#if defined(_WIN32)
    return false;
#else
    return !text.empty() && text[0] == '/';
#endif
}

// The port given on the command line: a connect line as if the program had
// sent it, a board served over TCP or, on POSIX systems, a device path.
// Anything else connects nothing.
void connectAtStartup(LowLevelDriverDemo& demo, const std::string& portText) {
    if (isConnectLine(portText)) {
        handleControlLine(demo, portText);
    } else if (isDevicePath(portText) || namesTcpBoard(portText)) {
        writeConsole("connect to KRV E-board\n");
        demo.connectDevice(portText, portText);
    } else {
        writeConsole(str(boost::format("--'%1%' is not a serial port: the board stays unconnected\n") %
                         programTextForLog(portText)));
    }
}

}  // namespace

LineKind handleControlLine(LowLevelDriverDemo& demo, const std::string& line) {
    if (line.empty()) return LineKind::handled;
    if (line[0] == '#') {
        writeConsole(str(boost::format("received: %1%\n") % programTextForLog(line)));
        return LineKind::handled;
    }
    if (isConnectLine(line)) {
        writeConsole(str(boost::format("received: %1%\nconnect to KRV E-board\n") % programTextForLog(line)));
        demo.connectBoard(line);
        return LineKind::handled;
    }
    if (line == "DISC") {
        writeConsole(str(boost::format("received: %1%\ndisconnect E-board\n") % line));
        demo.disconnectBoard();
        return LineKind::handled;
    }
    if (line == "EXIT") {
        writeConsole(str(boost::format("received: %1%\ndraughts program requested exit\n") % line));
        // No reply; the board is let go cleanly so that its port is free for
        // whoever opens it next.
        demo.closeBoard();
        return LineKind::exitRequested;
    }
    return LineKind::request;
}

bool handleProgramLine(LowLevelDriverDemo& demo, const std::string& line) {
    demo.recordProgramLine(line);
    switch (handleControlLine(demo, line)) {
        case LineKind::request:
            demo.translateCommand(line);
            return true;
        case LineKind::handled:
            return true;
        case LineKind::exitRequested:
            return false;
    }
    return true;
}

SessionEnd runMessageListener(const ListenSettings& listen, LowLevelDriverDemo& demo, const std::string& comPort) {
    if (!comPort.empty()) {
        writeConsole(str(boost::format("connect to E-board via %1%\n") % programTextForLog(comPort)));
        connectAtStartup(demo, comPort);
    }
    writeConsole("Message Listener started\n");
    boost::asio::io_context io;
    // Listening before the waiting line appears: a program started on that
    // line finds the port open.
    SocketServer server(io, listen.address, listen.port);
    writeConsole(str(boost::format("waiting for connection to Draughts program on port %1% ...\n") % listen.port));
    boost::asio::ip::tcp::socket socket = server.accept();
    if (!socket.is_open()) {
        writeConsole("*** error: Could not connect to Draughts program\n");
        return SessionEnd::noProgram;
    }
    // One program at a time: another one is told so and let go at once,
    // not left in the backlog waiting for a greeting that never comes. The
    // port stays held, so no other process can take the next program.
    server.refuseOthers("#busy: another Draughts program is connected");

    auto program = std::make_shared<ProgramConnection>(std::move(socket));
    // The greeting goes out before the board may send: in auto-connect mode
    // the board is live already, and its lines must come after it.
    program->sendLine(str(boost::format("#%1% %2%") % serverName % serverVersion));
    demo.setProgram(program);
    // However the session ends, the board's thread sends to this program no
    // more once the session's loop is gone.
    struct ProgramRelease {
        LowLevelDriverDemo& demo;
        ~ProgramRelease() { demo.setProgram(nullptr); }
    } release{demo};

    SessionEnd end = SessionEnd::programLeft;
    program->start(
        [&demo, &end](const std::string& line) {
            if (handleProgramLine(demo, line)) return true;
            end = SessionEnd::exitRequested;
            return false;
        },
        [&server] { server.close(); });
    // Runs until the connection has ended: every read, write and close of
    // it completes on this thread.
    io.run();
    if (end == SessionEnd::programLeft) writeConsole("Message Listener stopped\n");
    return end;
}
