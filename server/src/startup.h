#ifndef DAMRELAY_STARTUP_H
#define DAMRELAY_STARTUP_H

#include <optional>
#include <string>
#include <vector>

#include "port_names.h"
#include "session.h"

// What the command line sets for the whole run.
struct StartupSettings {
    ListenSettings listen;
    std::string comPort;       // empty: the draughts program decides when to connect
    bool confirmExit = false;  // auto-connect mode: ask before ending
    PortNames portNames;
    std::string recordFile;  // empty: no recording
    bool help = false;       // --help: show the usage and end
    bool version = false;    // --version: show the version and end
};

// Reads the arguments that follow the program name: any number of
// "--map COM<n>=<device>", "--listen <address>" and "--record <file>" options
// (also as --option=value), then at most a socket port (1 to 65535) and a COM
// port text; --help or --version anywhere. Empty, with error saying what is
// wrong in one line, on a command-line error.
std::optional<StartupSettings> parseCommandLine(const std::vector<std::string>& arguments, std::string& error);

// The whole run of the relay; returns the exit code (0 or 1). A command-line
// error ends the process with exit code 1 after the prompt.
int runRelay(const std::vector<std::string>& arguments);

void printUsage(bool exitAfter);
// Asks for one typed character, then ends the process with exit code 1.
[[noreturn]] void waitAndExit();

#endif
