#ifndef RELAY_COMPARE_OPTIONS_H
#define RELAY_COMPARE_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

namespace relay_compare {

struct Options {
    bool quick = false;
    // Rounds per relay, taken in turn: damrelay, socat, socat, damrelay, ...
    // so that a slow spell of the machine hits both.
    int rounds = 2;
    long latencyFrames = 10000;      // per round and direction
    long warmUpFrames = 200;         // per round and direction, not kept
    long throughputFrames = 200000;  // per round
    long soakFrames = 1000000;
    long soakCheckpoints = 4;
    double idleSeconds = 10;
    std::string damrelayBinary;
    std::string socatBinary = "socat";
};

// Options from the command line (program name left out); empty with a
// reason in error when they cannot be read.
std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error);

std::string usageText();

}  // namespace relay_compare

#endif
