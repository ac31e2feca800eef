#include "http_server.h"

#include "http_session.h"

namespace boardwatch {

namespace {

// A failed accept (out of descriptors) is tried again after a pause, not
// at once in a loop.
constexpr std::chrono::milliseconds acceptPause{100};

}  // namespace

HttpServer::HttpServer(boost::asio::io_context& context, const boost::asio::ip::tcp::endpoint& where, Site& site)
    : acceptor(context), pause(context), site(site) {
    acceptor.open(where.protocol());
    acceptor.set_option(boost::asio::ip::tcp::acceptor::reuse_address(true));
    acceptor.bind(where);
    acceptor.listen();
    accept();
}

void HttpServer::accept() {
    acceptor.async_accept([this](const boost::system::error_code& error, boost::asio::ip::tcp::socket socket) {
        onAccepted(error, std::move(socket));
    });
}

void HttpServer::onAccepted(const boost::system::error_code& error, boost::asio::ip::tcp::socket socket) {
    if (error) {
        site.note("page: cannot take a connection: " + error.message());
        pause.expires_after(acceptPause);
        pause.async_wait([this](const boost::system::error_code& failure) {
            if (!failure) accept();
        });
        return;
    }
    std::make_shared<HttpSession>(std::move(socket), site)->start();
    accept();
}

}  // namespace boardwatch
