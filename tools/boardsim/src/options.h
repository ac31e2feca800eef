#ifndef BOARDSIM_OPTIONS_H
#define BOARDSIM_OPTIONS_H

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace boardsim {

// Where --tcp serves the board: a host name or address, and a port.
struct TcpAddress {
    std::string host;
    std::string port;  // 0 to 65535; 0 lets the system choose
};

struct Options {
    std::string link;                // keep a symbolic link to the device here
    std::optional<TcpAddress> tcp;   // serve the board over TCP instead
    std::string position;            // FEN; empty: the starting position
    std::string gameFile;
    int gameNumber = 1;  // which game of the file, from 1
    std::string scriptFile;
    std::string replayFile;
    bool freeRules = false;
    std::vector<std::string> moves;  // written on the command line
    std::chrono::milliseconds pace{400};
    bool help = false;
    bool version = false;
};

// The command line after the program name; empty, with error saying why, on
// a word it does not know, a value it cannot use, or options that do not go
// together.
std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error);

// ADDR:PORT, the address in brackets when it has colons of its own
// ([::1]:3333); empty when the text is no such thing.
std::optional<TcpAddress> tcpAddressOf(const std::string& text);

std::string usageText();

}  // namespace boardsim

#endif
