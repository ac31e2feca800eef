#include "host_lookup.h"

#include <boost/asio/io_context.hpp>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace krvEBLowLevel {

namespace {

using boost::asio::ip::tcp;

// What the looking-up thread and the waiting one share; whichever lets go
// last frees it.
struct PendingLookup {
    std::mutex lock;
    std::condition_variable done;
    bool answered = false;
    HostLookup answer;
};

HostLookup resolve(const std::string& host, unsigned short port) {
    boost::asio::io_context context;
    tcp::resolver resolver(context);
    HostLookup lookup;
    // No address_configured: on a machine whose only network is loopback it
    // would hide "localhost".
    const tcp::resolver::results_type results =
        resolver.resolve(host, std::to_string(port), tcp::resolver::numeric_service, lookup.error);
    if (lookup.error) return lookup;
    for (const auto& result : results) lookup.endpoints.push_back(result.endpoint());
    if (lookup.endpoints.empty()) lookup.error = boost::asio::error::host_not_found;
    return lookup;
}

}  // namespace

HostLookup lookUpWithin(const std::string& host, unsigned short port, std::chrono::milliseconds patience) {
    boost::system::error_code notAnAddress;
    const boost::asio::ip::address address = boost::asio::ip::make_address(host, notAnAddress);
    if (!notAnAddress) return HostLookup{{tcp::endpoint(address, port)}, {}};

    const auto pending = std::make_shared<PendingLookup>();
    try {
        std::thread([pending, host, port] {
            HostLookup answer = resolve(host, port);
            std::lock_guard<std::mutex> hold(pending->lock);
            pending->answer = std::move(answer);
            pending->answered = true;
            pending->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the lookup is not worth a wait without limit.
        return HostLookup{{}, boost::asio::error::no_memory};
    }
    std::unique_lock<std::mutex> hold(pending->lock);
    if (!pending->done.wait_for(hold, patience, [&] { return pending->answered; })) {
        return HostLookup{{}, boost::asio::error::timed_out};
    }
    return std::move(pending->answer);
}

}  // namespace krvEBLowLevel
