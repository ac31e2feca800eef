#ifndef BOARDIO_HOST_LOOKUP_H
#define BOARDIO_HOST_LOOKUP_H

#include <boost/asio/ip/tcp.hpp>
#include <boost/system/error_code.hpp>
#include <chrono>
#include <string>
#include <vector>

namespace krvEBLowLevel {

struct HostLookup {
    std::vector<boost::asio::ip::tcp::endpoint> endpoints;  // in the resolver's order
    boost::system::error_code error;
};

// The addresses of a host, with the port, or why there are none; timed_out
// when the resolver has not answered within `patience`. The system's
// resolver sets no limit of its own that we could lower (a name server that
// does not answer holds it for tens of seconds), so a name is looked up on a
// thread of its own, which the caller stops waiting for: a lookup that
// outlives the patience ends there by itself and its answer is dropped. An
// address given as such needs no lookup.
HostLookup lookUpWithin(const std::string& host, unsigned short port, std::chrono::milliseconds patience);

}  // namespace krvEBLowLevel

#endif
