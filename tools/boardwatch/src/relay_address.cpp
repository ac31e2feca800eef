#include "relay_address.h"

#include <algorithm>
#include <boost/format.hpp>
#include <cctype>

namespace boardwatch {

namespace {

bool allDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::optional<Endpoint> parseEndpoint(const std::string& text, std::string& error) {
    const std::string::size_type colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        error = (boost::format("'%1%' is no HOST:PORT") % text).str();
        return std::nullopt;
    }
    Endpoint endpoint;
    endpoint.host = text.substr(0, colon);
    const auto unprintable = [](char c) { return c <= ' ' || c > '~'; };
    if (std::any_of(endpoint.host.begin(), endpoint.host.end(), unprintable)) {
        error = (boost::format("'%1%': a host is written in printable ASCII") % text).str();
        return std::nullopt;
    }
    if (endpoint.host.front() == '[') {
        if (endpoint.host.size() < 3 || endpoint.host.back() != ']') {
            error = (boost::format("'%1%': an IPv6 address goes in brackets, as [::1]:50000") % text).str();
            return std::nullopt;
        }
        endpoint.host = endpoint.host.substr(1, endpoint.host.size() - 2);
    } else if (endpoint.host.find(':') != std::string::npos) {
        error = (boost::format("'%1%': an IPv6 address goes in brackets, as [::1]:50000") % text).str();
        return std::nullopt;
    }
    const std::string port = text.substr(colon + 1);
    if (!allDigits(port) || port.size() > 5 || std::stol(port) > 65535) {
        error = (boost::format("'%1%': the port is a number from 0 to 65535") % text).str();
        return std::nullopt;
    }
    endpoint.port = static_cast<unsigned short>(std::stol(port));
    return endpoint;
}

std::optional<RelayAddress> parseRelayAddress(const std::string& text, std::string& error) {
    const std::string::size_type slash = text.rfind('/');
    const std::string name = upper(slash == std::string::npos ? "" : text.substr(slash + 1));
    // The relay opens only COM<n> for a program; no serial port has a
    // number of ten digits.
    if (name.size() < 4 || name.size() > 12 || name.compare(0, 3, "COM") != 0 || !allDigits(name.substr(3)) ||
        name[3] == '0') {
        error = (boost::format("'%1%' is no HOST:PORT/COMn (for example 127.0.0.1:50000/COM3)") % text).str();
        return std::nullopt;
    }
    const std::optional<Endpoint> relay = parseEndpoint(text.substr(0, slash), error);
    if (!relay) return std::nullopt;
    if (relay->port == 0) {
        error = (boost::format("'%1%': a relay listens on a port from 1 to 65535") % text).str();
        return std::nullopt;
    }
    return RelayAddress{*relay, name, text};
}

std::string RelayAddress::identity() const {
    return lower(relay.host) + " " + std::to_string(relay.port) + " " + portName;
}

}  // namespace boardwatch
