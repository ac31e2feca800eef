#ifndef BOARDWATCH_HTTP_SESSION_H
#define BOARDWATCH_HTTP_SESSION_H

// One browser's connection: requests read and answered one after another,
// until it asks for the events, which then take the connection over. A
// connection beyond the page's cap has its request answered 503 and closed.

#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/parser.hpp>
#include <memory>
#include <optional>

#include "http_server.h"
#include "page_answers.h"

namespace boardwatch {

class HttpSession : public std::enable_shared_from_this<HttpSession> {
public:
    // An idle connection is closed after this.
    static constexpr std::chrono::seconds idleLimit{30};
    // A connection beyond the cap waits no longer for its request.
    static constexpr std::chrono::seconds refusalLimit{5};
    // A browser's request head is a few hundred bytes.
    static constexpr std::uint32_t longestRequestHead = 8 * 1024;
    // The one body taken, a result, is three bytes.
    static constexpr std::uint64_t longestRequestBody = 1024;

    // slot: counts the connection while it lives; refusing: beyond the cap.
    HttpSession(boost::asio::ip::tcp::socket socket, Site& site, PageAccess access, ConnectionSlot slot, bool refusing);
    void start();

private:
    void readRequest();
    void onRequest(const boost::system::error_code& error);
    void onResponded(const boost::system::error_code& error, bool keepAlive);

    boost::beast::tcp_stream stream;
    boost::beast::flat_buffer buffer;
    std::optional<boost::beast::http::request_parser<boost::beast::http::string_body>> parser;
    PageResponse response;
    Site& site;
    const PageAccess access;
    ConnectionSlot slot;
    const bool refusing;
};

}  // namespace boardwatch

#endif
