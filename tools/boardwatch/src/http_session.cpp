#include "http_session.h"

#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

#include "page_files.h"

namespace boardwatch {

namespace {

namespace http = boost::beast::http;
using boost::system::error_code;

// A browser's request head is a few hundred bytes.
constexpr std::uint32_t longestRequestHead = 8 * 1024;

// The page takes nothing from elsewhere, and the browser holds it to that.
constexpr const char* contentPolicy = "default-src 'self'; img-src 'self' data:";

}  // namespace

HttpSession::HttpSession(boost::asio::ip::tcp::socket socket, Site& site) : stream(std::move(socket)), site(site) {}

void HttpSession::start() { readRequest(); }

void HttpSession::readRequest() {
    parser.emplace();
    parser->header_limit(longestRequestHead);
    stream.expires_after(idleLimit);
    http::async_read(stream, buffer, *parser, [self = shared_from_this()](const error_code& error, std::size_t) {
        self->onRequest(error);
    });
}

void HttpSession::onRequest(const error_code& error) {
    if (error) {
        stream.close();
        return;
    }
    const http::request<http::empty_body> request = parser->release();
    if (request.method() == http::verb::get && request.target() == "/events") {
        stream.expires_never();
        site.watch(std::move(stream));
        return;
    }
    answer(request);
    const bool keepAlive = response.keep_alive();
    stream.expires_after(idleLimit);
    http::async_write(stream, response, [self = shared_from_this(), keepAlive](const error_code& failure, std::size_t) {
        self->onResponded(failure, keepAlive);
    });
}

void HttpSession::answer(const http::request<http::empty_body>& request) {
    response = {};
    response.version(request.version());
    response.keep_alive(request.keep_alive());
    response.set(http::field::server, "boardwatch");
    response.set(http::field::cache_control, "no-cache");
    const std::string_view target(request.target().data(), request.target().size());
    const std::string_view path = target.substr(0, target.find('?'));
    const PageFile* file = findPageFile(path);
    if (request.method() != http::verb::get) {
        response.result(http::status::method_not_allowed);
        response.set(http::field::allow, "GET");
        response.set(http::field::content_type, "text/plain; charset=utf-8");
        response.body() = "boardwatch only shows: GET is the one method it takes\n";
    } else if (path == "/state.json") {
        response.result(http::status::ok);
        response.set(http::field::content_type, "application/json");
        response.body() = site.stateJson();
    } else if (file) {
        response.result(http::status::ok);
        response.set(http::field::content_type, std::string(file->type));
        response.set("Content-Security-Policy", contentPolicy);
        response.body() = std::string(file->body);
    } else {
        response.result(http::status::not_found);
        response.set(http::field::content_type, "text/plain; charset=utf-8");
        response.body() = "no such page: the boards are at /, their state at /state.json\n";
    }
    response.prepare_payload();
}

void HttpSession::onResponded(const error_code& error, bool keepAlive) {
    if (error || !keepAlive) {
        error_code ignored;
        stream.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_send, ignored);
        stream.close();
        return;
    }
    readRequest();
}

}  // namespace boardwatch
