#ifndef BOARDIO_TCP_BOARD_NAME_H
#define BOARDIO_TCP_BOARD_NAME_H

// A board served over TCP (a serial port behind ser2net, a virtual board) is
// named "tcp:HOST:PORT" wherever a serial device could be named; an IPv6
// address goes in brackets, "tcp:[::1]:3333".

#include <boost/system/error_code.hpp>
#include <optional>
#include <string>

namespace krvEBLowLevel {

struct TcpBoardName {
    std::string host;  // without brackets
    unsigned short port = 0;

    // "host:port", "[::1]:port": as a name gives them, for error texts.
    std::string where() const;
};

// Whether the name is meant for TCP: it begins with "tcp:" in any case.
bool namesTcpBoard(const std::string& name);

// The host and port of a name namesTcpBoard accepts; `fault` says what is
// wrong with one that names none (its message, in the category "tcp name").
std::optional<TcpBoardName> readTcpBoardName(const std::string& name, boost::system::error_code& fault);

}  // namespace krvEBLowLevel

#endif
