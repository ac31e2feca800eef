#ifndef BOARDWATCH_HTTP_SESSION_H
#define BOARDWATCH_HTTP_SESSION_H

// One browser's connection: requests read and answered one after another,
// until it asks for the events, which then take the connection over.

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>
#include <memory>
#include <optional>

#include "http_server.h"

namespace boardwatch {

class HttpSession : public std::enable_shared_from_this<HttpSession> {
public:
    // An idle connection is closed after this.
    static constexpr std::chrono::seconds idleLimit{30};

    HttpSession(boost::asio::ip::tcp::socket socket, Site& site);
    void start();

private:
    void readRequest();
    void onRequest(const boost::system::error_code& error);
    void onResponded(const boost::system::error_code& error, bool keepAlive);
    void answer(const boost::beast::http::request<boost::beast::http::empty_body>& request);

    boost::beast::tcp_stream stream;
    boost::beast::flat_buffer buffer;
    std::optional<boost::beast::http::request_parser<boost::beast::http::empty_body>> parser;
    boost::beast::http::response<boost::beast::http::string_body> response;
    Site& site;
};

}  // namespace boardwatch

#endif
