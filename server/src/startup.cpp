#include "startup.h"

#include <boost/format.hpp>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "console.h"
#include "low_level_driver_demo.h"
#include "session.h"

namespace {

// The first argument as "%d" reads it; 0 when it has no number or one too
// large to read.
long readSocketPort(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(start, &end, 10);
    if (end == start || errno == ERANGE) return 0;
    return value;
}

void waitForConfirmation() {
    writeConsole("Type anything and enter to exit ");
    char typed = 0;
    std::cin >> typed;
}

}  // namespace

std::optional<StartupSettings> parseCommandLine(const std::vector<std::string>& arguments) {
    StartupSettings settings;
    std::size_t next = 0;
    while (next < arguments.size() && arguments[next] == "--map") {
        if (next + 1 == arguments.size() || !settings.portNames.addRule(arguments[next + 1])) return std::nullopt;
        next += 2;
    }
    const std::vector<std::string> positional(arguments.begin() + static_cast<long>(next), arguments.end());
    if (positional.size() > 2) return std::nullopt;
    if (!positional.empty()) {
        const long socketPort = readSocketPort(positional[0]);
        if (socketPort < 1 || socketPort > 65535) return std::nullopt;
        settings.socketPort = static_cast<int>(socketPort);
    }
    if (positional.size() == 2) settings.comPort = positional[1];
    settings.confirmExit = positional.size() == 2;
    return settings;
}

void printUsage(bool exitAfter) {
    writeConsole(
        "usage:\n"
        "  damrelay [<socket port> [COM<1-4>]]\n"
        "default values:\n"
        "  socket port is 50000 (Quorvin default)\n"
        "  COM    port is none  (draughts program controlled)\n"
        "examples:\n"
        "  damrelay\n"
        "  damrelay 50000\n"
        "  damrelay 50000 COM3\n");
#if !defined(_WIN32)
    writeConsole(
        "serial ports:\n"
        "  COM<n> opens /dev/ttyS<n-1>; any other port name is opened as it is given\n"
        "  --map <name>=<device> opens <device> for the port name <name>; it may be\n"
        "  repeated and comes before the other arguments, for example:\n"
        "  damrelay --map COM3=/dev/ttyUSB0 50000 COM3\n");
#endif
    if (exitAfter) waitAndExit();
}

void waitAndExit() {
    waitForConfirmation();
    std::exit(1);
}

int runRelay(const std::vector<std::string>& arguments) {
    writeConsole(str(boost::format("%1%\n%2%\n\n") % serverName % serverVersion));
    const std::optional<StartupSettings> settings = parseCommandLine(arguments);
    if (!settings) printUsage(true);

    printUsage(false);
    writeConsole("\n");
    writeConsole(str(boost::format("socket port Draughts program = %1%\n") % settings->socketPort));
    writeConsole(str(boost::format("COM    port KRV E-board      = %1%\n") %
                     (settings->comPort.empty() ? std::string("none") : settings->comPort)));

    LowLevelDriverDemo demo(settings->portNames);
    writeConsole(settings->confirmExit ? "\nNOTE: server will auto-connect to E-board and confirm exit\n\n"
                                       : "\nNOTE: server will be controlled by Draughts program and auto-exit\n\n");
    int exitCode = settings->confirmExit ? 1 : 0;
    try {
        runMessageListener(settings->socketPort, demo, settings->comPort);
    } catch (const std::exception& error) {
        // For example the socket port held by another program.
        writeConsole(str(boost::format("*** error: %1%\n") % error.what()));
        exitCode = 1;
    }
    // In auto-connect mode the board stays connected while the user decides.
    if (settings->confirmExit) waitForConfirmation();
    demo.closeBoard();
    return exitCode;
}
