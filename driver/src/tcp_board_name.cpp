#include "tcp_board_name.h"

#include <cctype>

namespace krvEBLowLevel {

namespace {

enum class NameFault { noHost = 1, noPort, badPort, openBracket, unbracketedIpv6, badHostCharacter };

// The faults' texts never quote the name: the caller shows it, escaped, and
// an error text goes unescaped to consoles.
class TcpNameCategory final : public boost::system::error_category {
public:
    const char* name() const noexcept override { return "tcp name"; }
    std::string message(int value) const override {
        switch (static_cast<NameFault>(value)) {
            case NameFault::noHost:
                return "no host before the port (for example tcp:192.168.1.20:3333)";
            case NameFault::noPort:
                return "no port after the host (for example tcp:192.168.1.20:3333)";
            case NameFault::badPort:
                return "the port must be a number from 1 to 65535";
            case NameFault::openBracket:
                return "an IPv6 address begun with '[' must end with ']' before the port";
            case NameFault::unbracketedIpv6:
                return "an IPv6 address goes in brackets, as in tcp:[::1]:3333";
            case NameFault::badHostCharacter:
                return "a host name holds only letters, digits, '.', '-' and '_'";
        }
        return "not a name of a board served over TCP";
    }
};

const boost::system::error_category& tcpNameCategory() {
    static const TcpNameCategory category;
    return category;
}

std::optional<TcpBoardName> faulty(NameFault fault, boost::system::error_code& error) {
    error = boost::system::error_code(static_cast<int>(fault), tcpNameCategory());
    return std::nullopt;
}

bool isHostCharacter(char c, bool bracketed) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_') return true;
    // An IPv6 address, with its zone ("fe80::1%eth0").
    return bracketed && (c == ':' || c == '%');
}

constexpr std::size_t prefixLength = 4;  // "tcp:"

}  // namespace

std::string TcpBoardName::where() const {
    const std::string shown = host.find_first_of(":%") == std::string::npos ? host : "[" + host + "]";
    return shown + ":" + std::to_string(port);
}

bool namesTcpBoard(const std::string& name) {
    if (name.size() < prefixLength || name[prefixLength - 1] != ':') return false;
    std::string prefix = name.substr(0, prefixLength - 1);
    for (char& c : prefix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return prefix == "tcp";
}

std::optional<TcpBoardName> readTcpBoardName(const std::string& name, boost::system::error_code& fault) {
    fault.clear();
    const std::string rest = name.substr(prefixLength);
    const bool bracketed = !rest.empty() && rest[0] == '[';
    TcpBoardName board;
    std::string::size_type portColon;
    if (bracketed) {
        const std::string::size_type close = rest.find(']');
        if (close == std::string::npos) return faulty(NameFault::openBracket, fault);
        board.host = rest.substr(1, close - 1);
        if (close + 1 < rest.size() && rest[close + 1] != ':') return faulty(NameFault::openBracket, fault);
        portColon = close + 1 < rest.size() ? close + 1 : std::string::npos;
    } else {
        portColon = rest.rfind(':');
        board.host = rest.substr(0, portColon);
        if (board.host.find(':') != std::string::npos) return faulty(NameFault::unbracketedIpv6, fault);
    }
    if (board.host.empty()) return faulty(NameFault::noHost, fault);
    for (char c : board.host) {
        if (!isHostCharacter(c, bracketed)) return faulty(NameFault::badHostCharacter, fault);
    }
    if (portColon == std::string::npos || portColon + 1 == rest.size()) return faulty(NameFault::noPort, fault);
    const std::string digits = rest.substr(portColon + 1);
    // Five digits at most: a longer run could overflow before the range check.
    if (digits.size() > 5) return faulty(NameFault::badPort, fault);
    long port = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return faulty(NameFault::badPort, fault);
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return faulty(NameFault::badPort, fault);
    board.port = static_cast<unsigned short>(port);
    return board;
}

}  // namespace krvEBLowLevel
