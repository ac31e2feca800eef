#include "relay_client.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/write.hpp>

#include "version.h"

namespace boardwatch {

namespace {

using boost::system::error_code;
using Clock = std::chrono::steady_clock;

// A relay line is a board message, at most a few hundred bytes; a longer
// one is no relay talking.
constexpr std::size_t longestLine = 64 * 1024;

}  // namespace

RelayClient::RelayClient(boost::asio::io_context& context, const RelayAddress& address, RelayListener& listener)
    : address(address),
      listener(listener),
      session(address.portName, "boardwatch " + std::string(versionText)),
      lookup(context),
      socket(context),
      sessionTimer(context),
      reconnectTimer(context) {}

void RelayClient::start() { connect(); }

void RelayClient::connect() {
    ++connection;
    error_code notAnAddress;
    const boost::asio::ip::address ip = boost::asio::ip::make_address(address.relay.host, notAnAddress);
    if (!notAnAddress) return onResolved({}, {{ip, address.relay.port}});
    lookup.start(address.relay.host, address.relay.port,
                 [this, current = connection](const error_code& error, const auto& found) {
                     if (current == connection) onResolved(error, found);
                 });
}

void RelayClient::onResolved(const error_code& error, const std::vector<boost::asio::ip::tcp::endpoint>& found) {
    if (error || found.empty()) {
        const bool unknown = !error || error == boost::asio::error::host_not_found ||
                             error == boost::asio::error::host_not_found_try_again ||
                             error == boost::asio::error::no_data;
        return drop(unknown ? "host not found: " + address.relay.host
                            : "cannot look up " + address.relay.host + ": " + error.message(),
                    Closure::NameNotFound);
    }
    boost::asio::async_connect(socket, found, [this, current = connection](const error_code& failure, const auto&) {
        if (current == connection) onConnected(failure);
    });
}

void RelayClient::onConnected(const error_code& error) {
    if (error == boost::asio::error::connection_refused) {
        return drop("refused: nothing listens on " + address.relay.host + ":" + std::to_string(address.relay.port));
    }
    if (error) return drop("cannot connect to " + address.relay.host + ": " + error.message());
    error_code ignored;
    socket.set_option(boost::asio::ip::tcp::no_delay(true), ignored);
    session.opened(Clock::now());
    tellLink();
    scheduleSession();
    readLine();
}

void RelayClient::readLine() {
    boost::asio::async_read_until(socket, boost::asio::dynamic_buffer(input, longestLine), '\n',
                                  [this, current = connection](const error_code& error, std::size_t size) {
                                      if (current == connection) onLineRead(error, size);
                                  });
}

void RelayClient::onLineRead(const error_code& error, std::size_t size) {
    if (error) {
        return drop(error == boost::asio::error::eof ? std::string("the relay closed the connection") : error.message());
    }
    const RelayLine line = readRelayLine(input.substr(0, size - 1));
    input.erase(0, size);
    const Time now = Clock::now();
    const unsigned current = connection;
    act(session.received(line, now));
    if (current != connection) return;
    listener.relayLine(line, now);
    tellLink();
    scheduleSession();
    readLine();
}

void RelayClient::act(RelaySession::Output what) {
    for (std::string& line : what.lines) output.push_back(std::move(line) + "\n");
    if (what.hangUp) return drop("no answer from the relay");
    if (!writing) writeNext();
}

void RelayClient::writeNext() {
    if (output.empty()) {
        writing = false;
        return;
    }
    writing = true;
    boost::asio::async_write(socket, boost::asio::buffer(output.front()),
                             [this, current = connection](const error_code& error, std::size_t) {
                                 if (current == connection) onWritten(error);
                             });
}

void RelayClient::onWritten(const error_code& error) {
    if (error) return drop(error.message());
    output.pop_front();
    writeNext();
}

void RelayClient::scheduleSession() {
    const std::optional<Time> due = session.nextDue();
    if (!due) {
        sessionTimer.cancel();
        return;
    }
    sessionTimer.expires_at(*due);
    sessionTimer.async_wait([this, current = connection](const error_code& error) {
        if (!error && current == connection) onSessionDue(error);
    });
}

void RelayClient::onSessionDue(const error_code&) {
    const unsigned current = connection;
    act(session.takeDue(Clock::now()));
    if (current != connection) return;
    tellLink();
    scheduleSession();
}

void RelayClient::drop(const std::string& reason, Closure how) {
    ++connection;
    lookup.cancel();
    error_code ignored;
    socket.shutdown(boost::asio::ip::tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
    sessionTimer.cancel();
    input.clear();
    output.clear();
    writing = false;
    const std::chrono::milliseconds delay = session.closed(reason, how);
    tellLink();
    reconnectTimer.expires_after(delay);
    reconnectTimer.async_wait([this, current = connection](const error_code& error) {
        if (!error && current == connection) connect();
    });
}

void RelayClient::tellLink() {
    if (session.state() == toldState && session.detail() == toldDetail) return;
    toldState = session.state();
    toldDetail = session.detail();
    listener.linkChanged(toldState, toldDetail);
}

}  // namespace boardwatch
