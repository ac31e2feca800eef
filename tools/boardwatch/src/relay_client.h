#ifndef BOARDWATCH_RELAY_CLIENT_H
#define BOARDWATCH_RELAY_CLIENT_H

// The TCP connection to one relay, driven by a RelaySession: connects (to
// an address at once, to a name once it is looked up, without holding up
// other relays), reads lines, writes the session's lines one write at a
// time, and connects again when the relay goes away.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <deque>
#include <string>

#include "name_lookup.h"
#include "relay_address.h"
#include "relay_session.h"

namespace boardwatch {

// Told of every line from the relay and of every change of the link, on
// the io_context's thread.
class RelayListener {
public:
    virtual ~RelayListener() = default;
    virtual void relayLine(const RelayLine& line, Time now) = 0;
    virtual void linkChanged(LinkState state, const std::string& detail) = 0;
};

class RelayClient {
public:
    // The listener outlives the client.
    RelayClient(boost::asio::io_context& context, const RelayAddress& address, RelayListener& listener);
    RelayClient(const RelayClient&) = delete;
    RelayClient& operator=(const RelayClient&) = delete;

    void start();

private:
    void connect();
    void onResolved(const boost::system::error_code& error, const std::vector<boost::asio::ip::tcp::endpoint>& found);
    void onConnected(const boost::system::error_code& error);
    void readLine();
    void onLineRead(const boost::system::error_code& error, std::size_t size);
    void act(RelaySession::Output output);
    void writeNext();
    void onWritten(const boost::system::error_code& error);
    void scheduleSession();
    void onSessionDue(const boost::system::error_code& error);
    void drop(const std::string& reason, Closure how = Closure::Lost);
    void tellLink();

    const RelayAddress address;
    RelayListener& listener;
    RelaySession session;
    NameLookup lookup;
    boost::asio::ip::tcp::socket socket;
    boost::asio::steady_timer sessionTimer;
    boost::asio::steady_timer reconnectTimer;
    std::string input;
    std::deque<std::string> output;
    bool writing = false;
    // Completions of an earlier connection find another number here.
    unsigned connection = 0;
    LinkState toldState = LinkState::Connecting;
    std::string toldDetail;
};

}  // namespace boardwatch

#endif
