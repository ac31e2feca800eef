#ifndef BOARDWATCH_HTTP_SERVER_H
#define BOARDWATCH_HTTP_SERVER_H

// The page's web server: the page itself, /state.json, /round.pdn, the
// events that keep the page live, and the arbiter's results. It takes
// requests for the page's own names only, and up to a cap of connections
// at once.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <memory>
#include <string>
#include <vector>

#include "note_throttle.h"
#include "page_answers.h"

namespace boardwatch {

// Held by whatever keeps a page connection open (its request's session,
// then its event stream): the connection counts until the last holder goes.
using ConnectionSlot = std::shared_ptr<void>;

// What the server shows, on the io_context's thread.
class Site : public PageContent {
public:
    // The connection of a viewer who asked for the events, its request
    // answered by the event stream.
    virtual void watch(boost::beast::tcp_stream stream, ConnectionSlot slot) = 0;
    // A line for the console.
    virtual void note(const std::string& text) = 0;
    // A result refused for its token, for the console.
    virtual void noteRefusedResult(const std::string& text) = 0;
};

struct PageSettings {
    // --http's host and the --host names: the names besides the address
    // that a request may be addressed to.
    std::vector<std::string> names;
    // Connections at once, idle ones and viewers alike; beyond it a new
    // one is answered 503 and closed.
    std::size_t maxConnections = 1000;
    // The arbiter's token for results; empty: none are taken.
    std::string arbiterToken;
};

class HttpServer {
public:
    // Connections beyond the cap that are being answered 503 at once; more
    // are closed unanswered.
    static constexpr std::size_t maxRefusals = 16;

    // Throws boost::system::system_error when the address cannot be bound.
    HttpServer(boost::asio::io_context& context, const boost::asio::ip::tcp::endpoint& where, Site& site,
               PageSettings settings);
    boost::asio::ip::tcp::endpoint local() const { return acceptor.local_endpoint(); }

private:
    void accept();
    void onAccepted(const boost::system::error_code& error, boost::asio::ip::tcp::socket socket);

    boost::asio::ip::tcp::acceptor acceptor;
    boost::asio::steady_timer pause;
    Site& site;
    const PageSettings settings;
    // Shared with the slots, which may outlive the server.
    std::shared_ptr<std::size_t> open = std::make_shared<std::size_t>(0);
    std::shared_ptr<std::size_t> refusing = std::make_shared<std::size_t>(0);
    NoteThrottle acceptFailures;
    NoteThrottle refusals;
};

}  // namespace boardwatch

#endif
