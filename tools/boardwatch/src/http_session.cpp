#include "http_session.h"

#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

namespace boardwatch {

namespace {

namespace http = boost::beast::http;
using boost::system::error_code;

}  // namespace

HttpSession::HttpSession(boost::asio::ip::tcp::socket socket, Site& site, PageAccess access, ConnectionSlot slot,
                         bool refusing)
    : stream(std::move(socket)), site(site), access(std::move(access)), slot(std::move(slot)), refusing(refusing) {}

void HttpSession::start() { readRequest(); }

void HttpSession::readRequest() {
    parser.emplace();
    parser->header_limit(longestRequestHead);
    parser->body_limit(longestRequestBody);
    stream.expires_after(refusing ? std::chrono::seconds(refusalLimit) : std::chrono::seconds(idleLimit));
    http::async_read(stream, buffer, *parser, [self = shared_from_this()](const error_code& error, std::size_t) {
        self->onRequest(error);
    });
}

void HttpSession::onRequest(const error_code& error) {
    if (error) {
        stream.close();
        return;
    }
    const PageRequest request = parser->release();
    if (refusing) {
        response = busyAnswer(request.version());
    } else {
        PageAnswer answer = answerRequest(request, access, site);
        if (!answer.note.empty()) site.noteRefusedResult(answer.note);
        if (answer.events) {
            stream.expires_never();
            site.watch(std::move(stream), std::move(slot));
            return;
        }
        response = std::move(answer.response);
    }
    const bool keepAlive = response.keep_alive();
    stream.expires_after(idleLimit);
    http::async_write(stream, response, [self = shared_from_this(), keepAlive](const error_code& failure, std::size_t) {
        self->onResponded(failure, keepAlive);
    });
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
