#include "name_lookup.h"

#include <boost/asio/post.hpp>
#include <mutex>
#include <system_error>
#include <thread>

namespace boardwatch {

using boost::asio::ip::tcp;

// Shared with the lookups' threads, which may outlive the NameLookup.
struct NameLookup::Shared {
    std::mutex lock;
    boost::asio::io_context* context;  // null once the NameLookup has gone
    unsigned current = 0;              // the lookup whose answer is wanted

    bool wanted(unsigned lookup) const { return context != nullptr && current == lookup; }

    // From any thread: the answer goes to the handler on the io_context's
    // thread, if it is still wanted there.
    static void answer(const std::shared_ptr<Shared>& shared, unsigned lookup, const Handler& handler,
                       boost::system::error_code error, std::vector<tcp::endpoint> found) {
        std::lock_guard<std::mutex> hold(shared->lock);
        if (!shared->wanted(lookup)) return;
        boost::asio::post(*shared->context, [shared, lookup, handler, error, found = std::move(found)] {
            {
                std::lock_guard<std::mutex> hold(shared->lock);
                if (!shared->wanted(lookup)) return;
            }
            handler(error, found);
        });
    }
};

NameLookup::NameLookup(boost::asio::io_context& context) : shared(std::make_shared<Shared>()) {
    shared->context = &context;
}

NameLookup::~NameLookup() {
    std::lock_guard<std::mutex> hold(shared->lock);
    shared->context = nullptr;
    ++shared->current;
}

void NameLookup::start(const std::string& host, unsigned short port, Handler handler) {
    unsigned lookup;
    {
        std::lock_guard<std::mutex> hold(shared->lock);
        lookup = ++shared->current;
    }
    try {
        std::thread([shared = shared, lookup, host, port, handler] {
            boost::asio::io_context own;
            tcp::resolver resolver(own);
            boost::system::error_code error;
            std::vector<tcp::endpoint> found;
            for (const auto& entry : resolver.resolve(host, std::to_string(port), error)) {
                found.push_back(entry.endpoint());
            }
            Shared::answer(shared, lookup, handler, error, std::move(found));
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the relay tries again later, as after a
        // failed lookup.
        Shared::answer(shared, lookup, handler, boost::asio::error::no_memory, {});
    }
}

void NameLookup::cancel() {
    std::lock_guard<std::mutex> hold(shared->lock);
    ++shared->current;
}

}  // namespace boardwatch
