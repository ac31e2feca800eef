#ifndef BOARDWATCH_NAME_LOOKUP_H
#define BOARDWATCH_NAME_LOOKUP_H

// A relay's host name looked up on a thread of its own. Asio's resolver
// serves all the lookups of an io_context one after another on a single
// background thread, so one name server that does not answer would hold up
// every relay's reconnection; here a slow lookup holds up only the relay
// that waits for it. Addresses need no lookup: the relay client connects to
// them at once.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace boardwatch {

class NameLookup {
public:
    using Handler = std::function<void(const boost::system::error_code& error,
                                       const std::vector<boost::asio::ip::tcp::endpoint>& found)>;

    explicit NameLookup(boost::asio::io_context& context);
    // A lookup under way is left to end on its thread; its answer is dropped.
    ~NameLookup();
    NameLookup(const NameLookup&) = delete;
    NameLookup& operator=(const NameLookup&) = delete;

    // The handler runs on the io_context's thread, unless cancel() or the
    // destructor comes first. One lookup at a time: a new one cancels the last.
    void start(const std::string& host, unsigned short port, Handler handler);
    void cancel();

private:
    struct Shared;
    std::shared_ptr<Shared> shared;
};

}  // namespace boardwatch

#endif
