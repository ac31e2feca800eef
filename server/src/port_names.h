#ifndef DAMRELAY_PORT_NAMES_H
#define DAMRELAY_PORT_NAMES_H

#include <optional>
#include <string>
#include <utility>
#include <vector>

// Turns the port names draughts programs ask for into the devices the driver
// opens. Programs ask for COM<n>; on POSIX systems that is /dev/ttyS<n-1>
// unless a rule given on the command line names another device for it.
class PortNames {
public:
    // Adds a rule "<name>=<device>". False, and nothing added, when the text
    // is not of that form (no '=', or an empty name or device).
    bool addRule(const std::string& rule);

    // The device a port text opens: the device of the last rule whose name
    // equals the text (case ignored); else, for COM<n>, Com<n> or com<n>
    // (n >= 1, nothing after the digits), /dev/ttyS<n-1> on POSIX systems
    // and \\.\COM<n> on Windows. Any other text names no device.
    std::optional<std::string> resolve(const std::string& portText) const;

private:
    std::vector<std::pair<std::string, std::string>> rules;
};

#endif
