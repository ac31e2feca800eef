#ifndef BOARDWATCH_HTTP_SERVER_H
#define BOARDWATCH_HTTP_SERVER_H

// The page's web server: the page itself, /state.json and the events that
// keep the page live. Read-only: it takes GET requests and nothing else.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <string>

namespace boardwatch {

// What the server shows, on the io_context's thread.
class Site {
public:
    virtual ~Site() = default;
    virtual std::string stateJson() = 0;
    // The connection of a viewer who asked for the events, its request
    // answered by the event stream.
    virtual void watch(boost::beast::tcp_stream stream) = 0;
    // A line for the console.
    virtual void note(const std::string& text) = 0;
};

class HttpServer {
public:
    // Throws boost::system::system_error when the address cannot be bound.
    HttpServer(boost::asio::io_context& context, const boost::asio::ip::tcp::endpoint& where, Site& site);
    boost::asio::ip::tcp::endpoint local() const { return acceptor.local_endpoint(); }

private:
    void accept();
    void onAccepted(const boost::system::error_code& error, boost::asio::ip::tcp::socket socket);

    boost::asio::ip::tcp::acceptor acceptor;
    boost::asio::steady_timer pause;
    Site& site;
};

}  // namespace boardwatch

#endif
