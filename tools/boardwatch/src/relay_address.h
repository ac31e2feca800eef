#ifndef BOARDWATCH_RELAY_ADDRESS_H
#define BOARDWATCH_RELAY_ADDRESS_H

// Where a board is: a relay's TCP address and the port name the relay
// opens it by, written HOST:PORT/COMn.

#include <optional>
#include <string>

namespace boardwatch {

// A host and a TCP port; an IPv6 address is written in brackets
// ("[::1]:50000") and kept here without them.
struct Endpoint {
    std::string host;
    unsigned short port = 0;
};

struct RelayAddress {
    Endpoint relay;
    std::string portName;  // "COM3", whatever the case it was written in
    std::string text;      // as written: the board's name on the page and in files

    // The same for two ways of writing one board: the host in any case,
    // the port name in any case.
    std::string identity() const;
};

// Empty, with error saying why, when the text is no HOST:PORT. Port 0 is
// taken: to listen on, it means any free port. A host is printable ASCII:
// names are looked up in that form.
std::optional<Endpoint> parseEndpoint(const std::string& text, std::string& error);
// Empty, with error saying why, when the text is no HOST:PORT/COMn; the
// port name in any case (com3), as the relay takes it.
std::optional<RelayAddress> parseRelayAddress(const std::string& text, std::string& error);

}  // namespace boardwatch

#endif
