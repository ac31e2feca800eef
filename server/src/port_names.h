#ifndef DAMRELAY_PORT_NAMES_H
#define DAMRELAY_PORT_NAMES_H

#include <map>
#include <optional>
#include <string>

// Turns the port names draughts programs ask for into the devices the driver
// opens. Programs ask for COM<n>; on POSIX systems that is /dev/ttyS<n-1>
// unless a rule given on the command line names another device for it, a
// board served over TCP ("tcp:HOST:PORT") too. Only the operator names
// devices: a program can ask for nothing but COM<n>.
class PortNames {
public:
    // Adds a rule "COM<n>=<device>" (COM in any case; n >= 1); a later rule
    // for the same port replaces an earlier one. False, and nothing added,
    // when the text is not of that form.
    bool addRule(const std::string& rule);

    // The device a port text opens: for COM<n>, Com<n> or com<n> (n >= 1,
    // nothing after the digits), the device of the rule for port n if there
    // is one, else /dev/ttyS<n-1> on POSIX systems and \\.\COM<n> on
    // Windows. Any other text names no device.
    std::optional<std::string> resolve(const std::string& portText) const;

private:
    std::map<long, std::string> rules;  // by port number
};

// Whether a device text names a board served over TCP, "tcp:HOST:PORT" (the
// driver reads the host and port, and says what is wrong with them).
bool namesTcpBoard(const std::string& device);

#endif
