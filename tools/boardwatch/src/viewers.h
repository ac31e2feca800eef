#ifndef BOARDWATCH_VIEWERS_H
#define BOARDWATCH_VIEWERS_H

// Everyone watching the page. Events published within a few milliseconds
// of each other go out together: one shared text, one write a viewer.

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "event_stream.h"

namespace boardwatch {

class Viewers {
public:
    // Within the page's 100 ms of the board's line, with room for the
    // write; a hall's fifty boards then cost each viewer at most 20 writes
    // a second.
    static constexpr std::chrono::milliseconds gathering{50};
    // A comment line now and then shows a viewer that has gone, and keeps
    // idle connections open through proxies.
    static constexpr std::chrono::seconds heartbeat{15};

    // onCountChanged: told the number of viewers whenever it changes.
    Viewers(boost::asio::io_context& context, std::function<void(std::size_t)> onCountChanged);

    // first: the events that bring the page up to date; slot: keeps the
    // connection counted while it lives.
    void join(boost::beast::tcp_stream stream, const std::string& first, std::shared_ptr<void> slot = nullptr);
    // One server-sent event.
    void publish(const std::string& event, const std::string& data);
    std::size_t count() const { return streams.size(); }

private:
    void sendGathered();
    void scheduleHeartbeat();
    void leave(EventStream* stream);

    boost::asio::steady_timer gatherTimer;
    boost::asio::steady_timer heartbeatTimer;
    std::function<void(std::size_t)> onCountChanged;
    std::vector<std::shared_ptr<EventStream>> streams;
    std::string gathered;
};

// "event: NAME\ndata: DATA\n\n"; data holds no line feed (JSON as one line).
std::string eventText(const std::string& event, const std::string& data);

}  // namespace boardwatch

#endif
