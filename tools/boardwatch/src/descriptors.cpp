#include "descriptors.h"

#include <algorithm>

#include "http_server.h"

namespace boardwatch {

namespace {

constexpr std::size_t mostConnections = 1000;
// Standard input and outputs, the event loop's, the listening socket, the
// connections being turned away, and room.
constexpr std::size_t ownDescriptors = 32 + HttpServer::maxRefusals;
constexpr std::size_t descriptorsPerRelay = 4;
// A page that works at all, whatever the limit.
constexpr std::size_t fewestConnections = 8;

}  // namespace

std::size_t pageConnectionCap(std::size_t descriptorLimit, std::size_t relays) {
    const std::size_t kept = ownDescriptors + descriptorsPerRelay * relays;
    const std::size_t left = descriptorLimit > kept ? descriptorLimit - kept : 0;
    return std::max(fewestConnections, std::min(mostConnections, left));
}

}  // namespace boardwatch
