#include "http_server.h"

#include "http_session.h"

namespace boardwatch {

namespace {

// A failed accept (out of descriptors) is tried again after a pause, not
// at once in a loop.
constexpr std::chrono::milliseconds acceptPause{100};

ConnectionSlot slotIn(const std::shared_ptr<std::size_t>& count) {
    ++*count;
    return ConnectionSlot(nullptr, [count](void*) { --*count; });
}

}  // namespace

HttpServer::HttpServer(boost::asio::io_context& context, const boost::asio::ip::tcp::endpoint& where, Site& site,
                       PageSettings settings)
    : acceptor(context), pause(context), site(site), settings(std::move(settings)) {
    acceptor.open(where.protocol());
#ifdef _WIN32
    // There, SO_REUSEADDR would let a second boardwatch take the same port;
    // this keeps it ours alone.
    acceptor.set_option(boost::asio::detail::socket_option::boolean<SOL_SOCKET, SO_EXCLUSIVEADDRUSE>(true));
#else
    // Bound again at once after a restart, while old connections linger.
    acceptor.set_option(boost::asio::ip::tcp::acceptor::reuse_address(true));
#endif
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
    const auto now = std::chrono::steady_clock::now();
    if (error) {
        if (auto line = acceptFailures.take("page: cannot take a connection: " + error.message(), now)) site.note(*line);
        pause.expires_after(acceptPause);
        pause.async_wait([this](const boost::system::error_code& failure) {
            if (!failure) accept();
        });
        return;
    }
    boost::system::error_code ignored;
    PageAccess access{{socket.local_endpoint(ignored).address(), settings.names}, settings.arbiterToken};
    if (*open < settings.maxConnections) {
        std::make_shared<HttpSession>(std::move(socket), site, std::move(access), slotIn(open), false)->start();
    } else {
        const std::string why = "page: " + std::to_string(*open) + " connections, the most it takes: a new one is turned away";
        if (auto line = refusals.take(why, now)) site.note(*line);
        if (*refusing < maxRefusals) {
            std::make_shared<HttpSession>(std::move(socket), site, std::move(access), slotIn(refusing), true)->start();
        }
    }
    accept();
}

}  // namespace boardwatch
